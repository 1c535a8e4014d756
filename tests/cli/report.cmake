# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli report as a user runs it: a session made into A4 pages, the calibration's
# page only when the session holds one, a table too long going on over pages, a pattern that
# cannot be read named, and the refusals, which leave an older report as it was.
# -DEXAMPLES=<examples folder>; pdfinfo and pdftotext (poppler-utils) read the reports.
cmake_policy(VERSION 3.25)
find_program(pdfinfo pdfinfo)
find_program(pdftotext pdftotext)
if(NOT pdfinfo OR NOT pdftotext)
  fail("pdfinfo and pdftotext (poppler-utils) are needed to read the reports")
endif()

run(0 instrument ${EXAMPLES}/mica.xy -o p.json)
run(0 cis fit ${EXAMPLES}/standards.csv -o c.json)
file(READ ${work}/p.json profile)
file(READ ${work}/c.json calibration)
file(SHA256 ${EXAMPLES}/illite-AD.xy ad_sha)

function(sample name ad eg)
  set(one "{\"name\": \"${name}\", \"ad\": ${ad}, \"eg\": ${eg}, \"measured\": true, \"ad_measured\": ${ad}, \"eg_measured\": ${eg}, \"broadening\": 0.0, \"rule\": 2${ARGN}}")
  set(one "${one}" PARENT_SCOPE)
endfunction()
function(session file samples)
  file(WRITE ${work}/${file} "{\"format\": \"teravine-session\", \"version\": 1, \"reichweite\": 1, \"rule\": 2, \"broadening\": \"\", \"correction_table\": {\"label\": \"\", \"step\": 0.0, \"start\": 0.0, \"measured\": [], \"corrected\": []}, \"grid_lines\": {\"k\": true, \"n\": false, \"s\": false, \"nfp\": false}, \"identical_lines\": {\"k\": false, \"n\": false, \"s\": false, \"nfp\": false}, \"labels\": \"name\", \"sigma\": 0.0, \"ellipses\": false, \"samples\": [${samples}]${ARGN}}")
endfunction()
sample("Quarry B7" 0.5 0.4)
set(plain "${one}")
# Placed from the measuring dialog, fitted with no Kα2 line: its AD pattern one of the
# examples, measured again with the ratio the dialog gave (so not "measured again here"),
# its EG pattern gone.
run(0 measure ${EXAMPLES}/illite-AD.xy ${EXAMPLES}/illite-AD.xy --method fit --alpha2-ratio 0)
string(REGEX MATCH "\nAD\t[^\t]*\t[^\t]*\t([0-9.]+)\t" row "${last_out}")
set(file "\"scan\": 1, \"width\": ${CMAKE_MATCH_1}, \"u\": 0.0049")
sample("Pit 9" ${CMAKE_MATCH_1} 0.3607 ", \"measurement\": {\"method\": \"fit:pseudo-voigt\", \"alpha2_ratio\": 0, \"range\": [6.5, 11.5], \"ad\": {\"path\": \"${EXAMPLES}/illite-AD.xy\", \"sha256\": \"${ad_sha}\", ${file}}, \"eg\": {\"path\": \"${work}/gone-EG.xy\", \"sha256\": \"${ad_sha}\", ${file}}}")
set(measured "${one}")
string(REPEAT "${plain}, " 149 many)

session(plain.json "${plain}")
session(lab.json "${plain}" ", \"instrument_profile\": {\"source\": \"p.json\", \"profile\": ${profile}}, \"cis_calibration\": {\"source\": \"c.json\", \"calibration\": ${calibration}}")
session(measured.json "${plain}, ${measured}")
session(many.json "${many}${plain}")

# Each case: the session, its pages, texts the report holds.
foreach(case "plain;1;Session plain.json;Quarry B7;Correction"
        "lab;2;Instrument profile;mica.xy;CIS calibration;SW6-2012;KI (CIS);anchizone"
        "measured;2;Measured peaks;gone-EG.xy;cannot be read;illite-AD.xy"
        "many;3;page 3 of 3;150 samples placed")
  list(POP_FRONT case name pages)
  run(0 report ${name}.json -o ${name}.pdf)
  if(name STREQUAL "measured")
    expect_in("${last_err}" "gone-EG.xy cannot be read" "what report says on standard error")
  elseif(NOT last_err STREQUAL "")
    fail("report ${name}.json said [${last_err}]")
  endif()
  execute_process(COMMAND ${pdfinfo} ${work}/${name}.pdf OUTPUT_VARIABLE info)
  execute_process(COMMAND ${pdftotext} ${work}/${name}.pdf - OUTPUT_VARIABLE text)
  if(NOT info MATCHES "Pages: +${pages}\n" OR NOT info MATCHES "A4")
    fail("${name}.pdf is not ${pages} pages of A4:\n${info}")
  endif()
  foreach(wanted "Teravine report" "Teravine ${VERSION}, 2" ${case})
    expect_in("${text}" "${wanted}" "${name}.pdf")
  endforeach()
  if(text MATCHES "AD: measured again here")
    fail("${name}.pdf measured the AD pattern again otherwise than it was placed:\n${text}")
  endif()
endforeach()

# Refusals: a name not ending in .pdf, the session itself (here named as a report), a
# folder that is not there, a report in place of a folder, a session of a later version;
# each says why, and an older report, and the session, stay as they were.
file(WRITE ${work}/old.pdf "old")
file(MAKE_DIRECTORY ${work}/folder.pdf)
file(COPY_FILE ${work}/plain.json ${work}/s.pdf)
file(READ ${work}/plain.json body)
string(REPLACE "\"version\": 1" "\"version\": 2" body "${body}")
file(WRITE ${work}/later.json "${body}")
foreach(bad "plain.json;r.png;a PDF file" "s.pdf;s.pdf;is the session" "plain.json;no/r.pdf;Cannot write"
        "plain.json;folder.pdf;not a regular file" "later.json;old.pdf;of version 2, later")
  list(POP_FRONT bad session output why)
  expect(1 "^teravine-cli: [^\n]*${why}[^\n]*\n$" report ${session} -o ${output})
endforeach()
file(READ ${work}/old.pdf kept)
file(READ ${work}/s.pdf still)
if(NOT kept STREQUAL "old" OR NOT still MATCHES "^{\"format\"")
  fail("a refused report touched old.pdf or the session")
endif()
