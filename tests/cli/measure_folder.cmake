# SPDX-License-Identifier: GPL-3.0-or-later
# measure --folder on real instruments' files copied under lab names: the pairs the names
# make measured into the named list, each as measure measures the two files; the patterns
# left unpaired named with the reason; globs; folders of no pair refused.
# -DCLI=teravine-cli -DFILES=tests/formats/files

file(ARCHIVE_EXTRACT INPUT ${FILES}/text_files.zip DESTINATION ${work}/text)
file(MAKE_DIRECTORY ${work}/lab ${work}/numbered ${work}/none)
foreach(copy "${FILES}/BT86.raw|lab/pit 1_AD.raw" "${work}/text/BT86_.UXD|lab/PIT 1-gly.uxd"
             "${FILES}/TwoTheta_scan_powder.rasx|lab/p2AD.rasx"
             "${FILES}/TwoTheta_scan_powder.rasx|lab/P2eg.rasx"
             "${FILES}/TwoTheta_scan_scrambled.raw|lab/p3_AD.raw"
             "${work}/text/gsas_garnet.gsas|lab/garnet.gsas" "${FILES}/README.md|lab/notes.md"
             "${FILES}/BT86.raw|numbered/s1_1.raw" "${FILES}/BT86.raw|numbered/s1_2.RAW"
             "${FILES}/BT86.raw|none/mica.raw")
  string(REPLACE "|" ";" copy "${copy}")
  list(GET copy 0 from)
  list(GET copy 1 to)
  file(COPY_FILE "${from}" "${work}/${to}")
endforeach()

# pit 1 measured as measure measures its two files; p2's range lies outside its patterns
# (left out, status 2); p3 and garnet unpaired with their reasons; notes.md passed over.
run(0 measure "lab/pit 1_AD.raw" "lab/PIT 1-gly.uxd")
string(REGEX REPLACE "^[^\n]*\nAD\t[^\t]*\t[^\t]*\t([0-9.]+)\t[^\n]*\nEG\t[^\t]*\t[^\t]*\t([0-9.]+)\t.*$"
       "pit 1,\\1,\\2,0.05," pit1 "${last_out}")
run(2 measure --folder lab -o list.csv --broadening 0.05 --csv all.csv)
file(READ ${work}/list.csv list)
if(NOT list MATCHES "^name,ad,eg,broadening,u_ad,u_eg,quality_ad,quality_eg\r?\n${pit1}[^\n]*,ok,ok\r?\n$")
  fail("list.csv of the folder:\n${list}\nnot the pair ${pit1}")
endif()
foreach(said "Not paired: lab/garnet.gsas: its name ends in neither AD nor EG (or gly)\n"
             "Not paired: lab/p3_AD.raw: no EG partner\n" "Sample p2 left out: "
             "1 pair measured, 1 left out.")
  expect_in("${last_err}" "${said}" "the folder's pairing")
endforeach()
if(last_err MATCHES "notes.md|pit 1_AD.raw:")
  fail("a file of no pattern format, or a paired one, named:\n${last_err}")
endif()

# Globs: the '*' is the stem, in any case.
run(0 measure --folder numbered --ad "*_1.raw" --eg "*_2.raw" -o numbered.csv)
expect_in("${last_err}" "1 pair measured, 0 left out." "the globs' pair")
file(STRINGS ${work}/numbered.csv numbered)
list(GET numbered 1 row)
if(NOT row MATCHES "^s1,")
  fail("numbered.csv:\n${numbered}")
endif()

# No pair, no folder, no usable glob: refused, nothing written.
file(WRITE ${work}/kept.csv "old")
foreach(refused "none|holds no pair of an AD and an EG pattern" "missing|cannot be read"
                "numbered;--ad;s1_1.raw;--eg;*_2.raw|--ad wants a file name with one")
  string(REPLACE "|" ";" refused "${refused}")
  list(GET refused -1 why)
  list(REMOVE_AT refused -1)
  expect(1 "${why}" measure --folder ${refused} -o kept.csv)
endforeach()
expect_text(${work}/kept.csv "old")
expect(1 "give --pairs or --folder, not both" measure --folder lab --pairs list.csv -o x.csv)
