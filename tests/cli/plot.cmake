# SPDX-License-Identifier: GPL-3.0-or-later
# Runs teravine-cli plot as a user would and checks the files it writes.

function(run_plot expected_status)
  run(${expected_status} plot ${ARGN})
  set(last_err "${last_err}" PARENT_SCOPE)
endfunction()

# Width and height from the PNG header (IHDR: bytes 16..23, big-endian).
function(expect_png path width height)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} was not written")
  endif()
  file(READ ${path} head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 0 16 signature)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${path} is not a PNG: ${signature}")
  endif()
  string(SUBSTRING "${head}" 32 8 w)
  string(SUBSTRING "${head}" 40 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  if(NOT w EQUAL width OR NOT h EQUAL height)
    message(FATAL_ERROR "${path} is ${w}x${h}, expected ${width}x${height}")
  endif()
endfunction()

function(expect_start path text)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} was not written")
  endif()
  file(READ ${path} head LIMIT 400)
  string(FIND "${head}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${path} does not contain ${text}:\n${head}")
  endif()
endfunction()

run_plot(0 -o ${work}/k.png)
expect_png(${work}/k.png 800 800)
run_plot(0 -o ${work}/small.png --size 300 --reichweite R3 --grids k,N,S,Nfp)
expect_png(${work}/small.png 300 300)
run_plot(0 -o ${work}/k.svg)
expect_start(${work}/k.svg "<svg")
run_plot(0 -o ${work}/k.pdf --grids N)
expect_start(${work}/k.pdf "%PDF-")

# The samples of a width file with their labels, corrected as "Treat File" corrects them.
run_plot(0 -o ${work}/s.svg --samples ${EXAMPLES}/samples.IW --identical N,Nfp)
file(READ ${work}/s.svg svg)
foreach(label "N: 20,S: 4.83%,k:0.95,Nfp: 10" "N: 11,S: 0%,k:0.00,Nfp: 11")
  string(FIND "${svg}" "${label}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "s.svg lacks the label ${label}")
  endif()
endforeach()
run_plot(0 -o ${work}/t.png --samples ${EXAMPLES}/samples.IW --rule table
         --table ${EXAMPLES}/instrument.cor)

# Refusals: one line on stderr, status 1, nothing written.
foreach(bad "-o;${work}/k.bmp" "-o;${work}/tiny.png;--size;99" "-o;${work}/huge.png;--size;10001"
        "-o;${work}/no/such/folder/k.png" "-o;${work}/g.png;--grids;k,X"
        "-o;${work}/i.png;--identical;N,X" "-o;${work}/m.png;--samples;${work}/missing.IW"
        "-o;${work}/r.png;--samples;${EXAMPLES}/samples.IW;--rule;table")
  run_plot(1 ${bad})
  string(REGEX MATCHALL "teravine-cli:[^\n]*\n" lines "${last_err}")
  list(LENGTH lines count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "plot ${bad}: expected one message line, got\n${last_err}")
  endif()
endforeach()
foreach(never k.bmp tiny.png huge.png g.png i.png m.png r.png)
  if(EXISTS ${work}/${never})
    message(FATAL_ERROR "${never} was written although refused")
  endif()
endforeach()
