# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli measure --method fit on synthetic pseudo-Voigt peaks of known FWHM written
# by write-pattern: every profile finds the width, the method column names the fit, the
# CSV of --pairs carries it, and options that do not go together are refused.
# -DCLI=teravine-cli -DWRITE_PATTERN=write-pattern

# The row of `side`: its fwhm in ten-thousandths within `tolerance` of `truth`, and its
# method column.
function(check_row side truth tolerance method)
  string(REGEX MATCH "${side}\t[^\t]*\t[0-9.]+\t0\\.([0-9]+)\t[0-9.]+\t[0-9.]+\t[0-9.]+\t([^\t]+)\t([^\t\n]+)\n"
         row "${last_out}")
  if(NOT row)
    fail("no ${side} row in\n${last_out}")
  endif()
  set(quality "${CMAKE_MATCH_3}")
  if(NOT CMAKE_MATCH_2 STREQUAL "${method}")
    fail("${side} method ${CMAKE_MATCH_2}, not ${method}:\n${last_out}")
  endif()
  math(EXPR off "1${CMAKE_MATCH_1} - 10000 - ${truth}")
  if(off LESS -${tolerance} OR off GREATER ${tolerance})
    fail("${side} FWHM .${CMAKE_MATCH_1} is not within ${tolerance} of .${truth}:\n${last_out}")
  endif()
  set(quality "${quality}" PARENT_SCOPE)
endfunction()

write_pattern(ad.xy 0.45 8.8 0)
write_pattern(eg.xy 0.35 8.85 7)

# The pseudo-Voigts within 1 % on exact counts and 3 % with counting noise; a Pearson VII
# only comes near a pseudo-Voigt's shape, its width within 6 %.
foreach(case "pseudo-voigt;45;105" "split-pseudo-voigt;45;105" "pearson7;270;210"
             "split-pearson7;270;210")
  list(GET case 0 profile)
  list(GET case 1 ad_tolerance)
  list(GET case 2 eg_tolerance)
  run(0 measure ad.xy eg.xy --method fit --profile ${profile})
  check_row(AD 4500 ${ad_tolerance} fit:${profile})
  check_row(EG 3500 ${eg_tolerance} fit:${profile})
  expect_in("${last_err}" "K-alpha1 profile" "the note on the fitted width")
endforeach()
run(0 measure ad.xy eg.xy --method fit)
check_row(AD 4500 45 fit:pseudo-voigt)
if(NOT quality STREQUAL "ok")
  fail("a clean pseudo-Voigt fitted with quality ${quality}")
endif()
run(0 measure ad.xy eg.xy --method fit --background quadratic --components 2 --use 1)
check_row(AD 4500 450 fit:pseudo-voigt:1/2)

# A scan without a Kα2 line (a monochromated one, or one converted from such an XRDML)
# fitted as such with --alpha2-ratio 0; fitted with the ratio 0.5 assumed, its narrow peak
# at 12° reads 0.092.
write_pattern(single.xy 0.1 12 3)
run(0 measure single.xy single.xy --range 10.5:13.5 --method fit --alpha2-ratio 0)
check_row(AD 1000 15 fit:pseudo-voigt)
run(0 measure single.xy single.xy --range 10.5:13.5 --method fit)
if(NOT last_out MATCHES "\nAD\t[^\t]*\t[0-9.]+\t0\\.0([0-8]|9[0-4])")
  fail("a single line fitted as a doublet is not read narrower:\n${last_out}")
endif()

# --pairs writes the fitted widths and the method into its CSV.
file(WRITE ${work}/list.csv "name,ad,eg\nfirst,ad.xy,eg.xy\n")
run(0 measure --pairs list.csv -o fitted.IW --csv fitted.csv --method fit)
file(READ ${work}/fitted.csv csv)
if(NOT csv MATCHES "first,AD,ad.xy,8\\.[0-9]+,0\\.4[45][0-9]+,[^\n]*,fit:pseudo-voigt,[a-z;]+\n")
  fail("the CSV of a fit holds\n${csv}")
endif()

# Forty pairs are shared out over the cores: the width file, the CSV (the EG side of a pair
# left out for its AD side included) and the messages keep the list's order.
set(many "name,ad,eg\n")
set(names "")
foreach(i RANGE 1 40)
  if(i EQUAL 3 OR i EQUAL 38)
    string(APPEND many "p${i},missing${i}.xy,eg.xy\n")
    string(APPEND names "p${i},")
  else()
    string(APPEND many "p${i},ad.xy,eg.xy\n")
    string(APPEND names "p${i},p${i},")
  endif()
endforeach()
file(WRITE ${work}/many.csv "${many}")
run(2 measure --pairs many.csv -o many.IW --csv many-all.csv --method fit)
if(NOT last_err MATCHES "Sample p3 left out[^\n]*missing3\\.xy[^\n]*\n([^\n]*\n)*Sample p38 left out")
  fail("the pairs left out not named in the list's order:\n${last_err}")
endif()
file(STRINGS ${work}/many-all.csv rows)
list(POP_FRONT rows)
set(got "")
foreach(row IN LISTS rows)
  string(REGEX REPLACE ",.*" "," name "${row}")
  string(APPEND got "${name}")
endforeach()
if(NOT got STREQUAL names)
  fail("the CSV rows are not in the list's order: ${got}")
endif()
file(STRINGS ${work}/many.IW widths)
list(LENGTH widths lines)
if(NOT lines EQUAL 41)
  fail("the width file of 38 pairs has ${lines} lines")
endif()

# --identify takes the fitted widths.
run(0 measure ad.xy eg.xy --method fit --identify --reichweite R1)
expect_in("${last_out}" "fit:pseudo-voigt" "--identify after a fit")
expect_in("${last_out}" "%S: " "--identify after a fit")

# Refused, with the reason.
foreach(refusal "--profile;pearson7|go with --method fit"
                "--alpha2-ratio;0|go with --method fit"
                "--method;fit;--alpha2-ratio;1.5|--alpha2-ratio"
                "--components;2|go with --method fit"
                "--method;fitting|half-height or fit"
                "--method;fit;--profile;gauss|--profile is"
                "--method;fit;--background;cubic|--background is"
                "--method;fit;--components;4|--components is 1, 2 or 3"
                "--method;fit;--components;0|--components is 1, 2 or 3"
                "--method;fit;--components;2;--use;3|--use K wants"
                "--method;fit;--use;0|--use K wants")
  string(REPLACE "|" ";" parts "${refusal}")
  list(POP_BACK parts message)
  run(1 measure ad.xy eg.xy ${parts})
  expect_in("${last_err}" "${message}" "measure ${parts}")
endforeach()
