# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli instrument, cis fit and cis apply, and the profile and calibration taken by
# measure, identify and treat. -DCLI=teravine-cli -DWRITE_PATTERN=write-pattern
# -DEXAMPLES=examples

# A mica's 001 of 0.12° with counting noise: b within 2 u, the profile as identify takes it.
write_pattern(mica.xy 0.12 8.86 3)
run(0 instrument mica.xy -o mica.json)
if(NOT last_out MATCHES "^b\t0\\.([0-9]+)\nu_b\t0\\.([0-9]+)\nangle\t8\\.8[0-9]+\nmethod\thalf-height kalpha2=kept\n$")
  fail("instrument printed\n${last_out}")
endif()
math(EXPR off "1${CMAKE_MATCH_1} - 11200")
if(off GREATER 2*1${CMAKE_MATCH_2}-20000 OR off LESS -2*1${CMAKE_MATCH_2}+20000)
  fail("b .${CMAKE_MATCH_1} is not within 2 u (.${CMAKE_MATCH_2}) of .12")
endif()
file(READ ${work}/mica.json json)
string(JSON b GET "${json}" b)
string(JSON standard GET "${json}" standard)
if(NOT standard STREQUAL "mica.xy")
  fail("the profile names the standard ${standard}")
endif()
run(0 identify 0.5 0.4 --broadening ${b})
set(typed "${last_out}")
run(0 identify 0.5 0.4 --instrument mica.json)
if(NOT last_out STREQUAL typed)
  fail("identify --instrument printed\n${last_out}\nnot as with its b\n${typed}")
endif()

# Profiles that are not what they should be, and a broadening beside one.
string(REPLACE "\"version\": 1" "\"version\": 2" v2 "${json}")
file(WRITE ${work}/v2.json "${v2}")
file(WRITE ${work}/broken.json "{\"format\": \"teravine-instrument\", ")
expect(1 "excludes" identify 0.5 0.4 --instrument mica.json --broadening 0.1)
expect(1 "excludes" measure mica.xy mica.xy --identify --instrument mica.json --broadening 0.1)
expect(1 "v2.json\" is of version 2" identify 0.5 0.4 --instrument v2.json)
expect(1 "broken.json\" is not JSON" treat ${EXAMPLES}/samples.IW -o out.IWO --instrument broken.json)
expect(1 "--peaks needs at least three" instrument mica.xy --peaks 8:9.6,8.2:9.5 -o p.json)
expect_missing(${work}/out.IWO ${work}/p.json)
# No output may replace the profile a command reads.
file(WRITE ${work}/pairs.csv "name,ad,eg\nm,mica.xy,mica.xy\n")
expect(1 "is the instrument profile" treat ${EXAMPLES}/samples.IW -o mica.json --instrument mica.json)
expect(1 "is the instrument profile" treat ${EXAMPLES}/samples.IW -o out.IWO --csv mica.json --instrument mica.json)
expect(1 "is the instrument profile" measure --pairs pairs.csv -o mica.json --instrument mica.json)
file(READ ${work}/mica.json kept)
if(NOT kept STREQUAL json)
  fail("the profile was replaced:\n${kept}")
endif()

# treat states the profile's b in place of the file's 0.1, and says so.
expect(0 "samples.IW\" \\(0\\.1000\\) was replaced by the instrument profile's b"
       treat ${EXAMPLES}/samples.IW -o out.IWO --instrument mica.json)
file(STRINGS ${work}/out.IWO header LIMIT_COUNT 3)
list(GET header 2 stated)
if(NOT stated MATCHES "^Instrumental broadening:\t \\.1[0-9]+")
  fail("the result file states ${stated}")
endif()

# A sample fitted against a half-height profile is flagged, after its own reasons.
run(0 measure mica.xy mica.xy --method fit --instrument mica.json)
expect_in("${last_out}" "fit:pseudo-voigt${tab}instrument-method\nEG" "the method's flag")

# So is every width of a list of pairs, whose width file states the profile's b.
file(WRITE ${work}/pairs.csv "name,ad,eg\none,mica.xy,mica.xy\n")
run(0 measure --pairs pairs.csv -o pairs.IW --instrument mica.json --method fit --csv -)
expect_in("${last_out}" "fit:pseudo-voigt,instrument-method\n" "the flag of a pair")
file(STRINGS ${work}/pairs.IW stated LIMIT_COUNT 3)
list(GET stated 2 stated)
string(SUBSTRING "${stated}" 0 8 stated_start)
string(SUBSTRING "${b}" 0 8 b_start)
if(NOT stated_start STREQUAL b_start)
  fail("the width file states ${stated}, not the profile's ${b}")
endif()

# Five standards on cis = 0.02 + 0.95 fwhm: the line comes back.
file(WRITE ${work}/line.csv "name,cis,fwhm\nA,0.21,0.2\nB,0.305,0.3\nC,0.4,0.4\nD,0.58,0.5894736842\nE,0.69,0.7052631579\n")
run(0 cis fit line.csv -o line.json)
expect_in("${last_out}" "intercept${tab}0.0200\nu_intercept${tab}0.0000\nslope${tab}0.9500\nu_slope${tab}0.0000\nr${tab}1.0000\ns${tab}0.0000\nn${tab}5\ndf${tab}3\nname${tab}fwhm${tab}cis${tab}residual${tab}loo_residual\nA${tab}0.2000${tab}0.2100${tab}" "cis fit")
expect_in("${last_err}" "(1 sigma) with n - 2 = 3 degrees of freedom: a 95 % interval is +/- 3.18 u" "what u is")

# A standard measured on its pattern, the path taken from the list's folder, with the
# CIS value of SW2-2012; its width is the one measure reads.
file(MAKE_DIRECTORY ${work}/std)
write_pattern(std/sw2.xy 0.46 8.8 0)
run(0 measure std/sw2.xy std/sw2.xy)
string(REGEX MATCH "AD\t[^\t]*\t[^\t]*\t([0-9.]+)\t" row "${last_out}")
file(WRITE ${work}/std/list.csv "name,cis,fwhm,pattern\nA,0.21,0.2,\nSW2-2012,,,sw2.xy\nC,0.58,0.6,\n")
run(0 cis fit std/list.csv -o std.json)
expect_in("${last_out}" "\nSW2-2012${tab}${CMAKE_MATCH_1}${tab}0.4550${tab}" "the measured standard")

# A list that fixes no line (the regression's own refusals are those of its unit tests).
file(WRITE ${work}/unknown.csv "name,cis,fwhm\nA,0.2,0.2\nSW9-2030,,0.3\nC,0.4,0.4\n")
expect(1 "line 3, column 2 \\(cis\\) no CIS value" cis fit unknown.csv -o c.json)
expect_missing(${work}/c.json)

# The zones change exactly at the limits of each scheme (a calibration that changes
# nothing: cis = fwhm).
file(WRITE ${work}/same.csv "name,cis,fwhm\nA,0.2,0.2\nB,0.3,0.3\nC,0.4,0.4\nD,0.5,0.5\nE,0.6,0.6\n")
run(0 cis fit same.csv -o same.json)
foreach(scheme "2015;0.3199;0.32;0.52;0.5201;0.32–0.52 (2015)"
               "1994;0.2499;0.25;0.42;0.4201;0.25–0.42 (1994)"
               "0.3:0.45;0.2999;0.3;0.45;0.4501;0.30–0.45 (own)")
  list(GET scheme 0 zones)
  list(SUBLIST scheme 1 4 widths)
  list(GET scheme 5 shown)
  run(0 cis apply same.json ${widths} --zones ${zones})
  expect_in("${last_err}" "anchizone ${shown}" "the limits stated")
  expect_in("${last_out}" "\tanchizone ${shown}\t" "the limits in their column")
  set(want "fwhm\tki_cis\tu_ki_cis\tzone\tzone_limits\tnear_limit\n")
  foreach(pair "0;epizone" "1;anchizone" "2;anchizone" "3;diagenetic")
    list(GET pair 0 at)
    list(GET pair 1 zone)
    list(GET widths ${at} w)
    string(APPEND want "${w}[0]*\t${w}[0]*\t0\\.0000\t${zone}\tanchizone [^\t\n]+\t[^\t\n]*\n")
  endforeach()
  if(NOT last_out MATCHES "^${want}$")
    fail("cis apply --zones ${zones} printed\n${last_out}")
  endif()
endforeach()

# measure --cis: the calibrated columns before method and quality, for the AD width.
run(0 measure mica.xy std/sw2.xy --cis same.json --zones 1994)
if(NOT last_out MATCHES "u_fwhm\tki_cis\tu_ki_cis\tzone\tzone_limits\tnear_limit\tmethod\tquality\nAD\tmica.xy\t[0-9.]+\t([0-9.]+)\t[0-9.]+\t[0-9.]+\t([0-9.]+)\t([0-9.]+)\t([0-9.]+)\tepizone\tanchizone 0\\.25[^\t]+0\\.42 \\(1994\\)\t\thalf-height\tok\nEG\t[^\n]*\t\t\t\t\t\thalf-height\tok\n$"
   OR NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_3 OR NOT CMAKE_MATCH_2 STREQUAL CMAKE_MATCH_4)
  fail("measure --cis printed\n${last_out}")
endif()

# A calibration applied to a width measured otherwise: the AD width is flagged, and what
# differs is named. The calibration states how its standards were measured, in full.
file(READ ${work}/same.json json)
string(JSON method GET "${json}" method)
if(NOT method STREQUAL "half-height kalpha2=kept range=6.5:11.5")
  fail("the calibration states the method ${method}")
endif()
foreach(case "differ in method;--method;fit" "differ in range;--range;6.6:11.5")
  list(GET case 0 said)
  list(SUBLIST case 1 2 options)
  expect(0 "${said}" measure mica.xy std/sw2.xy --cis same.json ${options})
  if(NOT last_out MATCHES "\nAD\t[^\n]*cis-method\nEG\t[^\n]*\t(ok|[a-z-]+)\n$" OR last_out MATCHES "EG[^\n]*cis-method")
    fail("measure --cis ${options} printed\n${last_out}")
  endif()
endforeach()
# Standards fitted with two components: outside the CIS guidelines, said so.
expect(0 "2 components: outside the CIS guidelines" cis fit std/list.csv -o two.json --method fit --components 2)

# The Árkai index: the chlorite 002 found in its own default range.
write_pattern(chl.xy 0.3 12.5 0)
run(0 measure chl.xy chl.xy --peak chlorite-002)
expect_in("${last_out}" "AD${tab}chl.xy${tab}12.5" "the chlorite 002")
expect(1 "Kubler index" measure chl.xy chl.xy --peak chlorite-002 --cis same.json)
# Its own columns, and no zone unless a laboratory gives its own limits: the Kübler
# index's are refused for it.
run(0 cis fit same.csv -o arkai.json --index arkai)
expect(0 "No zones: the Arkai index" cis apply arkai.json 0.3)
if(NOT last_out STREQUAL "fwhm\tai_cis\tu_ai_cis\tzone\tzone_limits\tnear_limit\n0.3000\t0.3000\t0.0000\t\t\t\n")
  fail("cis apply of an Arkai calibration printed\n${last_out}")
endif()
expect(1 "limits of the Kubler index" cis apply arkai.json 0.3 --zones 2015)
expect(1 "limits of the Kubler index" measure chl.xy chl.xy --peak chlorite-002 --cis arkai.json --zones 1994)
run(0 measure chl.xy chl.xy --peak chlorite-002 --cis arkai.json --zones 0.2:0.4)
expect_in("${last_out}" "u_fwhm${tab}ai_cis${tab}u_ai_cis${tab}zone" "the Arkai columns")
expect_in("${last_out}" "${tab}anchizone${tab}anchizone 0.20–0.40 (own)${tab}${tab}half-height" "the own zone")
