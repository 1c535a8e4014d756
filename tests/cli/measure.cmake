# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli measure on synthetic patterns of known FWHM written by write-pattern:
# the widths in every format, --identify against identify and treat, --pairs through
# treat against the widths typed. -DCLI=teravine-cli -DWRITE_PATTERN=write-pattern

# The fwhm column of the row of `side` in ten-thousandths; with `truth`, also checks it
# lies within `tolerance` of it.
function(fwhm_of side out_var)
  string(REGEX MATCH "${side}\t[^\t]*\t[0-9.]+\t0\\.([0-9]+)\t" row "${last_out}")
  if(NOT row)
    fail("no ${side} row in\n${last_out}")
  endif()
  math(EXPR value "1${CMAKE_MATCH_1} - 10000")
  set(${out_var} ${value} PARENT_SCOPE)
  if(ARGC GREATER 2)
    math(EXPR off "${value} - ${ARGV2}")
    if(off LESS -${ARGV3} OR off GREATER ${ARGV3})
      fail("${side} FWHM .${value} is not within ${ARGV3} of .${ARGV2}:\n${last_out}")
    endif()
  endif()
endfunction()

# AD exact 0.45°, EG with counting noise 0.35°: within 1.5 % and 3 %.
foreach(format xy csv txt dat xrdml uxd)
  write_pattern(ad.${format} 0.45 8.8 0)
  write_pattern(eg.${format} 0.35 8.85 7)
  run(0 measure ad.${format} eg.${format})
  expect_in("${last_out}" "side${tab}file${tab}position${tab}fwhm${tab}breadth${tab}height${tab}u_fwhm${tab}method${tab}quality\nAD${tab}ad.${format}${tab}8.8" "${format}")
  fwhm_of(AD ad 4500 67)
  fwhm_of(EG eg 3500 105)
endforeach()

# A cobalt pattern is measured on the Cu Kα scale and says so.
write_pattern(co.xrdml 0.52 10.2 0 1.78901)
run(0 measure co.xrdml co.xrdml)
expect_in("${last_err}" "carried over to the 2θ scale of Cu Kα" "cobalt note")
expect_in("${last_out}" "AD${tab}co.xrdml${tab}8.7" "cobalt position")

# --identify prints what identify prints for the printed widths and their uncertainties.
run(0 measure ad.xy eg.xy)
set(table "${last_out}")
fwhm_of(AD ad_width)
fwhm_of(EG eg_width)
set(ad_width 0.${ad_width})
set(eg_width 0.${eg_width})
string(REGEX MATCH "AD\t[^\n]*\t([0-9.]+)\thalf-height\tok\nEG\t[^\n]*\t([0-9.]+)\thalf-height\tok\n" sigmas
             "${table}")
run(0 identify ${ad_width} ${eg_width} --reichweite R1 --sigma ${CMAKE_MATCH_1}
    --sigma-eg ${CMAKE_MATCH_2})
if(NOT last_out MATCHES "\nN: [0-9]+ \\[[0-9]+, [0-9]+\\]\n%S: ")
  fail("identify --sigma printed\n${last_out}")
endif()
set(identified "${last_out}")
run(0 measure ad.xy eg.xy --identify --reichweite R1)
if(NOT last_out STREQUAL "${table}${identified}")
  fail("measure --identify printed\n${last_out}\nnot the table and identify's\n${identified}")
endif()

# With a broadening, the widths are corrected as the width file of treat corrects them.
file(WRITE ${work}/typed.IW "typed\n1\n0.05\n${ad_width},${eg_width}\n")
run(0 treat typed.IW -o typed.IWO --rule gauss -q)
file(STRINGS ${work}/typed.IWO treated)
list(GET treated 5 treated_line)
run(0 measure ad.xy eg.xy --identify --broadening 0.05 --rule gauss)
expect_in("${last_out}" "${treated_line}\n" "measure --identify --broadening 0.05")

# --pairs: a width file that treat turns into what the widths typed give.
file(WRITE ${work}/flat.xy "6 100\n7 100\n8 100\n8.5 100\n9 100\n9.5 100\n10 100\n10.5 100\n11 100\n11.2 100\n"
           "11.3 100\n11.4 100\n11.5 100\n12 100\n")
file(MAKE_DIRECTORY ${work}/lists)
file(WRITE ${work}/lists/list.csv "name,ad,eg\nfirst,../ad.xy,../eg.xy\nbroken,../flat.xy,../eg.xy\n"
           "second,../ad.csv,../eg.txt\n")
run(0 measure ad.csv eg.txt)
fwhm_of(AD second_ad)
fwhm_of(EG second_eg)
run(2 measure --pairs lists/list.csv -o measured.IW --broadening 0.05 --csv all.csv)
expect_in("${last_err}" "Sample broken left out: flat.xy: no peak" "the broken pair")
expect_in("${last_err}" "2 pairs measured, 1 left out." "the summary")
file(WRITE ${work}/typed.IW
     "typed\n2\n0.05\n${ad_width},${eg_width}\n0.${second_ad},0.${second_eg}\n")
foreach(widths measured typed)
  run(0 treat ${widths}.IW -o ${widths}.IWO --rule mixture -q)
  file(STRINGS ${work}/${widths}.IWO ${widths}_lines)
  list(REMOVE_AT ${widths}_lines 0)
endforeach()
if(NOT measured_lines STREQUAL typed_lines)
  fail("treat of the measured widths:\n${measured_lines}\nnot that of the typed:\n${typed_lines}")
endif()
# -o LIST.csv: the same pairs as a named sample list, which treat takes as the width file.
# A quoted name may hold a comma; a comment may hold anything.
file(WRITE ${work}/lists/good.csv "name,ad,eg\n# the \"washed\" pair, first\n\"first, one\",../ad.xy,../eg.xy\r\n"
           "second,../ad.csv,../eg.txt\n")
run(0 measure --pairs lists/good.csv -o named.csv --broadening 0.05)
file(READ ${work}/named.csv named)
# The list writes each width in its fewest digits: 0.3560 as 0.356.
string(REGEX REPLACE "0+$" "" listed_ad "0.${second_ad}")
string(REGEX REPLACE "0+$" "" listed_eg "0.${second_eg}")
if(NOT named MATCHES "^name,ad,eg,broadening,u_ad,u_eg,quality_ad,quality_eg.?\n\"first, one\",[0-9.]+,[0-9.]+,0.05,[0-9.e-]+,[0-9.e-]+,ok,ok.?\nsecond,${listed_ad},${listed_eg},0.05,")
  fail("named.csv:\n${named}")
endif()
run(0 treat named.csv -o named.IWO --rule mixture -q)
file(STRINGS ${work}/named.IWO named_lines)
list(REMOVE_AT named_lines 0)
if(NOT named_lines STREQUAL typed_lines)
  fail("treat of the named list:\n${named_lines}\nnot that of the typed:\n${typed_lines}")
endif()

# A doubtful width goes into the named list with its quality and is named on standard
# error; treat of that list names it again and keeps the two columns in its table.
write_pattern(edge.xy 0.45 10.8 0)
file(WRITE ${work}/lists/doubt.csv "name,ad,eg\nsound,../ad.xy,../eg.xy\nat edge,../edge.xy,../eg.xy\n")
run(0 measure --pairs lists/doubt.csv -o doubt.csv)
expect_in("${last_err}" "Sample at edge: doubtful widths, AD " "the doubtful pair")
expect_in("${last_err}" "2 pairs measured, 0 left out, 1 with doubtful widths." "the summary")
if(last_err MATCHES "Sample sound")
  fail("a sound pair named as doubtful:\n${last_err}")
endif()
file(READ ${work}/doubt.csv doubt)
if(NOT doubt MATCHES "\nsound,[^\n]*,ok,ok.?\nat edge,[^\n]*,[a-z;]+,ok.?\n$" OR doubt MATCHES "at edge,[^\n]*,ok,ok")
  fail("doubt.csv:\n${doubt}")
endif()
run(0 treat doubt.csv --csv doubt-table.csv -q)
expect_in("${last_err}" "Sample at edge: doubtful widths, AD " "treat of the list")
file(STRINGS ${work}/doubt-table.csv doubt_rows)
list(GET doubt_rows 0 doubt_header)
list(GET doubt_rows 2 doubt_row)
if(NOT doubt_header MATCHES ",quality_ad,quality_eg$" OR NOT doubt_row MATCHES "^at edge,2,.*,[a-z;]+,ok$")
  fail("treat --csv of a list with doubts:\n${doubt_rows}")
endif()

file(STRINGS ${work}/all.csv csv_lines)
list(LENGTH csv_lines csv_count)
list(GET csv_lines 0 csv_header)
if(NOT csv_count EQUAL 6 OR NOT csv_header STREQUAL "name,side,file,position,fwhm,breadth,height,u_fwhm,method,quality")
  fail("all.csv:\n${csv_lines}")
endif()

# The status tells a whole list (0) from one with pairs left out (2, above) and one of
# which nothing could be measured (1), which writes no width file over the one there.
file(WRITE ${work}/lists/good.csv "name,ad,eg\nfirst,../ad.xy,../eg.xy\n")
file(WRITE ${work}/lists/bad.csv "name,ad,eg\nbroken,../flat.xy,../eg.xy\n")
run(0 measure --pairs lists/good.csv -o good.IW)
file(WRITE ${work}/kept.IW "old")
run(1 measure --pairs lists/bad.csv -o kept.IW --csv kept.csv)
expect_in("${last_err}" "could be measured; nothing was written." "an empty list")
expect_text(${work}/kept.IW "old")
expect_missing(${work}/kept.csv)

# Refusals name the file or the option.
run(1 measure ad.xy missing.xy)
expect_in("${last_err}" "\"missing.xy\" cannot be opened" "a missing pattern")
run(1 measure ad.xy flat.xy)
expect_in("${last_err}" "flat.xy: no peak" "a flat pattern")
foreach(misuse "ad.xy;eg.xy;--range;11:6" "ad.xy;eg.xy;--rule;gauss" "ad.xy;eg.xy;--broadening;1"
               "--pairs;lists/list.csv" "--pairs;lists/list.csv;-o;lists/list.csv")
  run(1 measure ${misuse})
endforeach()
expect_in("${last_err}" "list.csv" "a width file over its list")
run(1 measure ad.xy eg.xy --identify --broadening 0.5)
expect_in("${last_err}" "Incorect inrumental broadening!" "a broadening above the widths")

# The figure in each format, drawn as the window's measuring plots are.
foreach(format svg png pdf)
  run(0 measure ad.xy eg.xy --figure peaks.${format})
  file(SIZE ${work}/peaks.${format} figure_size)
  if(figure_size LESS 2000)
    fail("peaks.${format} is nearly empty (${figure_size} bytes)")
  endif()
endforeach()
run(1 measure ad.xy eg.xy --figure peaks.txt)
expect_in("${last_err}" "must end in .png, .svg or .pdf" "a figure of no image format")
