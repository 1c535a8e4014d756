# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli plot as a user runs it: the files it writes and its refusals.
# -DEXAMPLES=<examples folder>

# Each case: the file, what it must start with (in hexadecimal), then the options.
# A PNG's width and height follow its signature and IHDR header (bytes 16..23).
set(png "89504e470d0a1a0a0000000d49484452")
foreach(case "k.png;${png}0000032000000320" "small.png;${png}0000012c0000012c;--size;300;--reichweite;R3;--grids;k,N,S,Nfp"
        "k.svg;3c3f786d6c" "k.pdf;255044462d;--grids;N"
        "s.svg;3c3f786d6c;--samples;${EXAMPLES}/samples.IW;--identical;N,Nfp"
        "t.png;${png};--samples;${EXAMPLES}/samples.IW;--rule;table;--table;${EXAMPLES}/instrument.cor")
  list(POP_FRONT case name start)
  run(0 plot -o ${work}/${name} ${case})
  file(READ ${work}/${name} head LIMIT 24 HEX)
  if(NOT head MATCHES "^${start}")
    fail("${name} starts with ${head}, expected ${start}")
  endif()
endforeach()
# The samples of a width file with their labels, corrected as "Treat File" corrects them.
file(READ ${work}/s.svg svg)
if(NOT svg MATCHES "N: 20,S: 4.83%,k:0.95,Nfp: 10" OR NOT svg MATCHES "N: 11,S: 0%,k:0.00,Nfp: 11")
  fail("s.svg lacks the labels of the samples")
endif()

# Refusals: one line on stderr, status 1, nothing written.
foreach(bad "k.bmp" "tiny.png;--size;99" "huge.png;--size;10001" "no/such/folder/k.png"
        "g.png;--grids;k,X" "i.png;--identical;N,X" "m.png;--samples;${work}/missing.IW"
        "r.png;--samples;${EXAMPLES}/samples.IW;--rule;table")
  list(POP_FRONT bad name)
  expect(1 "^teravine-cli:[^\n]*\n$" plot -o ${work}/${name} ${bad})
  expect_missing(${work}/${name})
endforeach()
