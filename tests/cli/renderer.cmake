# SPDX-License-Identifier: GPL-3.0-or-later
# The figure renderer is a library the tool opens only to draw: the tool itself needs no
# toolkit library, and a tool whose renderer is missing says so for every command that
# draws, and still does what draws nothing.
execute_process(COMMAND readelf -d ${CLI} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR dynamic MATCHES "libQt")
  fail("teravine-cli links the toolkit:\n${dynamic}")
endif()

# A copy of the tool with no renderer beside it.
file(COPY ${CLI} DESTINATION ${work}/alone/bin)
set(CLI ${work}/alone/bin/teravine-cli)
file(WRITE ${work}/standards.csv "name,cis,fwhm\nA,0.30,0.20\nB,0.50,0.35\nC,0.80,0.55\n")
expect(1 "^teravine-cli: Cannot draw figures: [^\n]*libteravine-render\\.so" plot -o d.png)
expect_missing(${work}/d.png)
expect(1 "Cannot draw figures: [^\n]*libteravine-render\\.so" cis fit standards.csv -o cal.json
       --figure cal.png)
expect_missing(${work}/cal.png)
expect(1 "Cannot draw figures: [^\n]*libteravine-render\\.so" measure ${EXAMPLES}/illite-AD.xy
       ${EXAMPLES}/illite-EG.xy --figure peaks.png)
expect_missing(${work}/peaks.png)
run(0 identify 0.62 0.48)
