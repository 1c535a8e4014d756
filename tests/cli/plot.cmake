# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli plot as a user runs it: the files it writes and its refusals.
# -DEXAMPLES=<examples folder>

# Each case: the file, what it must start with (in hexadecimal), then the options.
# A PNG's width and height follow its signature and IHDR header (bytes 16..23).
set(png "89504e470d0a1a0a0000000d49484452")
foreach(case "k.png;${png}0000032000000320" "small.png;${png}0000012c0000012c;--size;300;--reichweite;R3;--grids;k,N,S,Nfp"
        "k.svg;3c3f786d6c" "k.pdf;255044462d;--grids;N"
        "s.svg;3c3f786d6c;--samples;${EXAMPLES}/samples.IW;--identical;N,Nfp"
        "t.png;${png};--samples;${EXAMPLES}/samples.IW;--rule;table;--table;${EXAMPLES}/instrument.cor"
        "fig.png;${png}0000076200000589;--width;160mm;--height;120mm;--reichweite;R3"
        "fig.svg;3c3f786d6c;--width;160mm;--height;120mm;--samples;${EXAMPLES}/samples.IW;--labels;none")
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
# A named list: its names, or the numbers, instead of the labels; the one outside the
# model is not drawn.
file(WRITE ${work}/named.csv "name,ad,eg\nQuarry B7,0.5,0.4\nlow,0.7,0.25\nPit & Co,0.6,0.5\n")
foreach(choice name number)
  run(0 plot -o ${choice}.svg --samples named.csv --labels ${choice})
  file(READ ${work}/${choice}.svg svg)
  set(want_name "Quarry B7.*Pit &amp; Co")
  set(want_number ">1<.*>2<")
  if(NOT svg MATCHES "${want_${choice}}" OR svg MATCHES "N: 24" OR svg MATCHES ">low<|>3<")
    fail("${choice}.svg does not show the ${choice}s alone")
  endif()
endforeach()

# A figure of 160 x 120 mm: 1890 x 1417 pixels at 300 dpi (11811 dots a metre), the SVG
# of that physical size, and without labels none of them.
file(READ ${work}/fig.png png_bytes HEX)
if(NOT png_bytes MATCHES "7048597300002e2300002e23")
  fail("fig.png does not state 300 dpi")
endif()
file(READ ${work}/fig.svg svg)
if(NOT svg MATCHES "width=\"160\\.0[0-9]*mm\" height=\"1[12][0-9.]*mm\"" OR svg MATCHES "N: 20,S:")
  fail("fig.svg is not 160 mm wide or shows labels")
endif()

# --sigma draws each sample's region about its dot: more ink, the same samples.
run(0 plot -o ${work}/plain.svg --samples ${EXAMPLES}/samples.IW)
run(0 plot -o ${work}/regions.svg --samples ${EXAMPLES}/samples.IW --sigma 0.02)
file(READ ${work}/plain.svg plain)
file(READ ${work}/regions.svg regions)
string(LENGTH "${plain}" plain_length)
string(LENGTH "${regions}" regions_length)
if(NOT regions_length GREATER plain_length OR NOT regions MATCHES "N: 20,S: 4.83%"
   OR NOT regions MATCHES "1σ .*region, .*σ .02 " OR plain MATCHES "region")
  fail("regions.svg has no more than plain.svg, or lacks the labels or the legend")
endif()

# --caption: one line under the diagram saying what it shows, σ only when drawn (the SVG
# may split the line where the font changes, at θ).
run(0 plot -o ${work}/caption.svg --samples ${EXAMPLES}/samples.IW --rule gauss --caption)
run(0 plot -o ${work}/caption-sigma.svg --samples ${EXAMPLES}/samples.IW --sigma 0.02 --caption)
file(READ ${work}/caption.svg caption)
file(READ ${work}/caption-sigma.svg caption_sigma)
if(NOT caption MATCHES "Reichweite R0, rule Gauss, broadening .1 " OR caption MATCHES "σ"
   OR plain MATCHES "Reichweite R0"
   OR NOT caption_sigma MATCHES "rule Lorentz Gauss geometric mean, broadening .1 "
   OR NOT caption_sigma MATCHES "σ .02 °2θ")
  fail("the caption is missing, or says what is not drawn")
endif()

# Refusals: one line on stderr, status 1, nothing written.
foreach(bad "k.bmp" "tiny.png;--size;99" "huge.png;--size;10001" "no/such/folder/k.png"
        "g.png;--grids;k,X" "i.png;--identical;N,X" "m.png;--samples;${work}/missing.IW"
        "r.png;--samples;${EXAMPLES}/samples.IW;--rule;table" "u.png;--width;160"
        "b.png;--width;160mm;--size;300" "d.png;--width;160mm;--dpi;5" "l.png;--labels;some"
        "s.png;--sigma;0.01")
  list(POP_FRONT bad name)
  expect(1 "^teravine-cli:[^\n]*\n$" plot -o ${work}/${name} ${bad})
  expect_missing(${work}/${name})
endforeach()

# A session saved by the window: the same picture as its samples given as a named list,
# and the same CSV rows from treat; a session of a later version is refused.
set(sample_a "{\"name\": \"Quarry B7\", \"ad\": 0.5, \"eg\": 0.4, \"measured\": true, \"ad_measured\": 0.5, \"eg_measured\": 0.4, \"broadening\": 0.0, \"rule\": 2}")
set(sample_b "{\"name\": \"Pit & Co\", \"ad\": 0.6, \"eg\": 0.5, \"measured\": true, \"ad_measured\": 0.6, \"eg_measured\": 0.5, \"broadening\": 0.0, \"rule\": 2}")
set(session_body "\"reichweite\": 1, \"rule\": 2, \"broadening\": \"\", \"correction_table\": {\"label\": \"\", \"step\": 0.0, \"start\": 0.0, \"measured\": [], \"corrected\": []}, \"grid_lines\": {\"k\": true, \"n\": true, \"s\": false, \"nfp\": false}, \"identical_lines\": {\"k\": false, \"n\": false, \"s\": false, \"nfp\": false}, \"labels\": \"name\", \"sigma\": 0.0, \"ellipses\": false, \"samples\": [${sample_a}, ${sample_b}]}")
file(WRITE ${work}/s.json "{\"format\": \"teravine-session\", \"version\": 1, ${session_body}")
file(WRITE ${work}/later.json "{\"format\": \"teravine-session\", \"version\": 2, ${session_body}")
file(WRITE ${work}/pair.csv "name,ad,eg\nQuarry B7,0.5,0.4\nPit & Co,0.6,0.5\n")
run(0 plot -o session.png --session s.json)
run(0 plot -o list.png --samples pair.csv --labels name --grids k,N)
expect_same_files(${work}/session.png ${work}/list.png)
# Its caption, from the rule and broadening its samples were corrected with.
run(0 plot -o session-caption.svg --session s.json --caption)
file(READ ${work}/session-caption.svg session_caption)
if(NOT session_caption MATCHES "Reichweite R0, rule Lorentz Gauss geometric mean, broadening 0 ")
  fail("the session's figure has no caption")
endif()
run(0 treat --session s.json --csv session.csv)
run(0 treat pair.csv --csv list.csv)
expect_same_files(${work}/session.csv ${work}/list.csv)
expect(1 "of version 2, later" plot -o later.png --session later.json)
expect(1 "of version 2, later" treat --session later.json --csv later.csv)
expect_missing(${work}/later.png ${work}/later.csv)
