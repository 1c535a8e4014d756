# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli treat as a user runs it: the committed examples, then failing files.
# -DSOURCE=<source folder> [-DMAKE_EXAMPLES=ON]
set(examples "${SOURCE}/examples")
# With --csv beside it, the same result file, and a row per sample with its reason.
run(0 treat "${examples}/samples.IW" -o "${work}/samples.IWO" --csv "${work}/samples.csv")
expect_same_files("${work}/samples.IWO" "${examples}/samples.IWO")
run(0 treat "${examples}/samples.IW" -o "${work}/table.IWO" --rule table
    --table "${examples}/instrument.cor" --csv "${work}/table.csv")
expect_same_files("${work}/table.IWO" "${examples}/samples-table.IWO")
set(header "name,index,ad_measured,eg_measured,ad,eg,status,n,n_int,s_pct,k,nfp,reichweite,rule,broadening\n")
file(READ "${work}/samples.csv" csv)
string(REGEX REPLACE "[^\n]*,(ok|[a-z =3]+),[^\n]*\n" "\\1;" reasons "${csv}")
if(NOT csv MATCHES "^${header},1,0.6,0.5,0.5438787,0.44267276,ok,19.609049,20,4.83,0.94799805,10,R0,Lorentz Gauss geometric mean,0.1\n"
   OR NOT reasons MATCHES "ok;ok;ok;ok;above the diagonal;below the k = 3 curve;ok;narrower than the instrument;ok;$")
  fail("samples.csv:\n${csv}")
endif()
# --sigma adds the intervals after the same columns, and leaves the result file as it is.
run(0 treat "${examples}/samples.IW" -o "${work}/sigma.IWO" --csv "${work}/sigma.csv" --sigma 0.01 -q)
expect_same_files("${work}/sigma.IWO" "${examples}/samples.IWO")
file(READ "${work}/sigma.csv" with_sigma)
string(REGEX REPLACE ",[^,\n]*,[^,\n]*,[^,\n]*,[^,\n]*,[^,\n]*,[^,\n]*,[^,\n]*,[^,\n]*,[^,\n]*\n" "\n" stripped "${with_sigma}")
if(NOT stripped STREQUAL csv
   OR NOT with_sigma MATCHES "^name,index[^\n]*,broadening,n_int_low,n_int_high,s_pct_low,s_pct_high,k_low,k_high,nfp_low,nfp_high,cut\n,1,[^\n]*,0.1,[0-9]+,[0-9]+,[0-9.]+,[0-9.]+,[0-9.]+,[0-9.]+,[0-9]+,[0-9]+,(yes|no)\n"
   OR NOT with_sigma MATCHES "\n,5,[^\n]*,above the diagonal,[^\n]*,,,,,,,,,\n")
  fail("sigma.csv:\n${with_sigma}")
endif()
run(1 treat "${examples}/samples.IW" -o "${work}/nocsv.IWO" --sigma 0.01)
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

# Failures: the description on stderr, status 1. A treatment that stops writes no partial
# result: the previous result file and table stay whole; on standard output the rows of
# the samples treated come out all the same.
file(WRITE "${work}/tiny.IW" "Tiny${crlf}2${crlf}0${crlf}0.5,0.4${crlf}0.000001,0.0000009${crlf}")
file(WRITE "${work}/tiny.IWO" "previous result")
file(WRITE "${work}/tiny.csv" "previous table")
expect(1 "Sample 2 of the file: Arithmetic failure: N cannot be computed." treat
       "${work}/tiny.IW" -o "${work}/tiny.IWO" --csv "${work}/tiny.csv")
expect_text("${work}/tiny.IWO" "previous result")
expect_text("${work}/tiny.csv" "previous table")
expect(1 "Sample 2 of the file" treat "${work}/tiny.IW" -o "${work}/tiny.IWO" --csv -)
if(NOT last_out MATCHES "^${header},1,[^\n]*,ok,[^\n]*\n,2,1e-06,9e-07,1e-06,9e-07,not computable,,,,,,R0,")
  fail("tiny rows:\n${last_out}")
endif()
expect(1 "cannot be opened: No such file or directory." treat "${work}/none.IW" -o "${work}/none.IWO")
expect(1 "cannot be created" treat "${work}/worked.IW" -o "${work}/no/such/folder.IWO")
expect(1 "--rule table needs --table" treat "${work}/worked.IW" -o "${work}/t.IWO" --rule table)
expect(1 "--table FILE.cor goes with --rule table" treat "${work}/worked.IW" -o "${work}/t.IWO"
       --table "${examples}/instrument.cor")
expect(1 "" treat "${work}/worked.IW" -o "${work}/t.IWO" --rule median)
expect(1 "" treat "${work}/worked.IW")

# A named sample list: the names first in every row, -o optional, each sample's own u
# giving its interval, and ';' lists with decimal commas read alike.
file(WRITE "${work}/named.csv" "name,eg,ad,u_ad,u_eg\r\n\"Smith, A\",0.5,0.6,0.01,0.01\r\n\"B \"\"2\"\"\",0.3,0.25,,\r\n\r\nworked,0.4,0.5,,\n")
run(0 treat "${work}/named.csv" --csv "${work}/named-out.csv" -q)
file(READ "${work}/named-out.csv" named)
if(NOT named MATCHES "^name,index,[^\n]*,cut\n\"Smith, A\",1,0.6,0.5,[^\n]*,ok,[^\n]*,(yes|no)\n\"B \"\"2\"\"\",2,0.25,0.3,[^\n]*,above the diagonal,[^\n]*,,,,,,,,,\nworked,3,0.5,0.4,0.5,0.4,ok,23.985361,24,4.88,[^\n]*,,,,,,,,,\n$")
  fail("named-out.csv:\n${named}")
endif()
file(WRITE "${work}/semi.csv" "name;ad;eg\nworked;0,5;0,4\n")
run(0 treat "${work}/semi.csv" -o "${work}/semi.IWO")
expect_text("${work}/semi.IWO" "Sample list semi.csv${crlf}Reichweite:${tab}R0${crlf}Instrumental broadening:${tab} 0${crlf}Instrumental broadening type :${tab}Lorentz Gauss geometric mean${crlf}${columns} .5${tab} .4${tab} 24${tab} 4.88${tab}1.17${tab} 11${crlf}")
file(WRITE "${work}/mixed.csv" "name,ad,eg,broadening\na,0.6,0.5,0.1\nb,0.6,0.5,0.05\n")
expect(1 "differ in broadening" treat "${work}/mixed.csv" -o "${work}/mixed.IWO")
run(0 treat "${work}/mixed.csv" --csv "${work}/mixed-out.csv")
file(READ "${work}/mixed-out.csv" mixed)
if(NOT mixed MATCHES "\na,1,[^\n]*,0.1\nb,2,[^\n]*,0.05\n$")
  fail("mixed-out.csv:\n${mixed}")
endif()
file(WRITE "${work}/bad.csv" "name,ad,eg\nA,0.6,x\n")
expect(1 "at line 2, column 3 \\(eg\\) \"x\", which is not a number" treat "${work}/bad.csv" --csv -)
expect_missing("${work}/none.IWO" "${work}/t.IWO")
