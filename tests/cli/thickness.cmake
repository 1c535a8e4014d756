# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli simulate and thickness as a user runs them: patterns of known stacks written,
# their thickness read back in its exact output, the instrument's note, the figure, and
# what is refused. -DCLI=teravine-cli

run(0 simulate --range 4:14 --mean-layers 10 --broadening 0.1 --counts 100000 --seed 2
    -o sample.xy)
run(0 simulate --range 4:14 --mean-layers 5000 --beta2 0 --broadening 0.1 --counts 100000
    --seed 3 -o mica.xy)
run(0 thickness sample.xy --standard mica.xy --figure figure.svg)
set(number "[0-9]+\\.[0-9]+")
if(NOT last_out MATCHES "^mean_layers\t(${number})\nu_mean_layers\t${number}\nmean_nm\t${number}\nalpha\t${number}\nbeta2\t${number}\nlayers\tfraction\n")
  fail("thickness printed\n${last_out}")
endif()
if(CMAKE_MATCH_1 LESS 9.5 OR CMAKE_MATCH_1 GREATER 10.5)
  fail("the mean of stacks of 10 layers came out ${CMAKE_MATCH_1}")
endif()
if(NOT last_err STREQUAL "")
  fail("with a standard, thickness said\n${last_err}")
endif()
# The distribution: every layer count in turn, shares of six decimals that sum to 1.
string(REGEX MATCHALL "\n[0-9]+\t[01]\\.[0-9]+" rows "${last_out}")
set(sum 0)
set(expected_layers 1)
foreach(row ${rows})
  if(NOT row MATCHES "^\n([0-9]+)\t([01])\\.([0-9][0-9][0-9][0-9][0-9][0-9])$")
    fail("distribution row [${row}]")
  endif()
  if(NOT CMAKE_MATCH_1 EQUAL expected_layers)
    fail("the distribution skips from ${expected_layers} to ${CMAKE_MATCH_1}")
  endif()
  math(EXPR expected_layers "${expected_layers} + 1")
  math(EXPR sum "${sum} + ${CMAKE_MATCH_2}000000 + 1${CMAKE_MATCH_3} - 1000000")
endforeach()
if(NOT sum EQUAL 1000000)
  fail("the distribution's shares sum to ${sum} millionths")
endif()
file(READ ${work}/figure.svg svg LIMIT 200)
expect_in("${svg}" "<svg" "the figure")

# A sample that is its own standard: its coefficients do not fall, and the mean is a lower
# bound, given without u, which standard error says.
# Its long tails reach the flank of the default range; a range is offered only if wider.
run(0 measure sample.xy sample.xy)
if(last_err MATCHES "6\\.5:11\\.5 would hold")
  fail("measure offered the range it read\n${last_err}")
endif()
run(0 thickness mica.xy --standard mica.xy)
if(NOT last_out MATCHES "^mean_layers\t${number}\nu_mean_layers\t\nmean_nm\t")
  fail("its own standard: thickness printed\n${last_out}")
endif()
expect_in("${last_err}" "which mean_layers gives as a lower bound, without u" "its own standard")

# Without a standard the instrument stays in, and standard error says so.
expect(0 "instrument's own broadening is not removed" thickness sample.xy)

# What cannot be read is refused with the reason, and nothing is printed.
file(WRITE ${work}/flat.xy "")
foreach(i RANGE 0 500)
  math(EXPR whole "4 + ${i} / 50")
  math(EXPR hundredths "${i} % 50 * 2")
  if(hundredths LESS 10)
    set(hundredths "0${hundredths}")
  endif()
  file(APPEND ${work}/flat.xy "${whole}.${hundredths}\t1000\n")
endforeach()
expect(1 "shows no peak within" thickness flat.xy)
run(0 simulate --range 8:9.6 --mean-layers 5000 --beta2 0 -o short.xy)
expect(1 "covers 8°–9.6°, not the range 6.5°–11.5°" thickness sample.xy --standard short.xy)
expect(1 "reaches beyond one period" thickness sample.xy --range 4:14)
expect(1 "R1 orders at most 50 % smectite" simulate --smectite 60 --reichweite R1)
if(NOT last_out STREQUAL "")
  fail("a refused simulation wrote\n${last_out}")
endif()
