# SPDX-License-Identifier: GPL-3.0-or-later
# Two outputs of one command that name one file are refused before anything is written,
# however the second is spelled: the same path, another spelling, a link to the first,
# whether or not the file is there yet. -DCLI=teravine-cli -DEXAMPLES=<examples folder>
cmake_policy(VERSION 3.25)
file(COPY "${EXAMPLES}/samples.IW" DESTINATION "${work}")
file(MAKE_DIRECTORY "${work}/sub")
file(CREATE_LINK "${work}/new.IWO" "${work}/ahead.csv" SYMBOLIC)
file(CREATE_LINK "../old.IWO" "${work}/sub/back.csv" SYMBOLIC)
file(WRITE "${work}/old.IWO" "old")
file(CREATE_LINK "${work}/old.IWO" "${work}/hard.csv")
file(WRITE "${work}/list.csv" "name,ad,eg\none,a.xy,b.xy\n")

# Each case: the command after teravine-cli, the files that must not exist afterwards.
set(cases
    "treat samples.IW -o r.IWO --csv r.IWO|r.IWO"
    "treat samples.IW -o r.IWO --csv ./sub/../r.IWO|r.IWO"
    "treat samples.IW -o new.IWO --csv ahead.csv|new.IWO"
    "treat samples.IW -o old.IWO --csv sub/back.csv|"
    "treat samples.IW -o old.IWO --csv hard.csv|"
    "measure --pairs list.csv -o w.IW --csv w.IW|w.IW"
    "measure --pairs list.csv -o old.IWO --csv sub/back.csv|")
foreach(case IN LISTS cases)
  string(REGEX REPLACE "\\|.*" "" command "${case}")
  string(REGEX REPLACE ".*\\|" "" absent "${case}")
  separate_arguments(case UNIX_COMMAND "${command}")
  expect(1 "name the same file; one would overwrite the other. Nothing was written" ${case})
  if(absent)
    expect_missing("${work}/${absent}")
  endif()
  expect_text("${work}/old.IWO" "old")
endforeach()

# Outputs of their own are written as before.
run(0 treat samples.IW -o r.IWO --csv r.csv -q)
if(NOT EXISTS "${work}/r.IWO" OR NOT EXISTS "${work}/r.csv")
  fail("treat -o r.IWO --csv r.csv wrote no files")
endif()
file(GLOB left RELATIVE "${work}" "${work}/.*")
if(left)
  fail("left behind: ${left}")
endif()
