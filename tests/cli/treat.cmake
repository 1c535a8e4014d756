# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli treat as a user runs it: the committed examples, then failing files.
# -DSOURCE=<source folder> [-DMAKE_EXAMPLES=ON]
set(examples "${SOURCE}/examples")
run(0 treat "${examples}/samples.IW" -o "${work}/samples.IWO")
expect_same_files("${work}/samples.IWO" "${examples}/samples.IWO")
run(0 treat "${examples}/samples.IW" -o "${work}/table.IWO" --rule table
    --table "${examples}/instrument.cor")
expect_same_files("${work}/table.IWO" "${examples}/samples-table.IWO")
# The committed examples are what the generator makes today.
if(MAKE_EXAMPLES)
  execute_process(COMMAND bash "${SOURCE}/scripts/make-examples" ${CLI} "${work}/made"
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    fail("make-examples failed: ${err}")
  endif()
  foreach(name samples.IW instrument.cor samples.IWO samples-table.IWO)
    expect_same_files("${work}/made/${name}" "${examples}/${name}")
  endforeach()
endif()

# The worked example under another rule and Reichweite.
file(WRITE "${work}/worked.IW" "Worked${crlf}1${crlf}0${crlf}0.5,0.4${crlf}")
run(0 treat "${work}/worked.IW" -o "${work}/gauss.IWO" --rule gauss -r R1)
set(columns "IW_AD${tab}IW_EG${tab}N${tab}S${tab}k${tab}Nfd${crlf}")
expect_text("${work}/gauss.IWO" "Worked${crlf}Reichweite:${tab}R1${crlf}Instrumental broadening:${tab} 0${crlf}Instrumental broadening type :${tab}Gauss${crlf}${columns} .5${tab} .4${tab} 22${tab} 4.16${tab}0.92${tab} 11${crlf}")

# Failures: the description on stderr, status 1, what was written before stays.
file(WRITE "${work}/tiny.IW" "Tiny${crlf}2${crlf}0${crlf}0.5,0.4${crlf}0.000001,0.0000009${crlf}")
expect(1 "Sample 2 of the file: Arithmetic failure: N cannot be computed." treat
       "${work}/tiny.IW" -o "${work}/tiny.IWO")
expect_text("${work}/tiny.IWO" "Tiny${crlf}Reichweite:${tab}R0${crlf}Instrumental broadening:${tab} 0${crlf}Instrumental broadening type :${tab}Lorentz Gauss geometric mean${crlf}${columns} .5${tab} .4${tab} 24${tab} 4.88${tab}1.17${tab} 11${crlf}")
expect(1 "cannot be opened: No such file or directory." treat "${work}/none.IW" -o "${work}/none.IWO")
expect(1 "cannot be created" treat "${work}/worked.IW" -o "${work}/no/such/folder.IWO")
expect(1 "--rule table needs --table" treat "${work}/worked.IW" -o "${work}/t.IWO" --rule table)
expect(1 "--table FILE.cor goes with --rule table" treat "${work}/worked.IW" -o "${work}/t.IWO"
       --table "${examples}/instrument.cor")
expect(1 "" treat "${work}/worked.IW" -o "${work}/t.IWO" --rule median)
expect(1 "" treat "${work}/worked.IW")
expect_missing("${work}/none.IWO" "${work}/t.IWO")
