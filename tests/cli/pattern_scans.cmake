# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli pattern and measure on a file of several scans: --info describes each, a
# conversion without --scan is refused with the list of them, as a measurement (measure,
# instrument, cis fit) is unless one scan alone covers the range, --scan picks one.
# -DCLI=teravine-cli

set(head "<?xml version=\"1.0\"?>\n<xrdMeasurements xmlns=\"http://www.xrdml.com/XRDMeasurement/1.5\">\n<xrdMeasurement measurementType=\"Scan\">\n<usedWavelength intended=\"K-Alpha 1\"><kAlpha1 unit=\"Angstrom\">1.5405980</kAlpha1></usedWavelength>\n")
set(counts "10 11 12 13 14 15 16 17 18 19 20 21")
set(scans "")
foreach(span "4|6.2" "5|27")
  string(REPLACE "|" ";" span "${span}")
  list(GET span 0 from)
  list(GET span 1 to)
  string(APPEND scans "<scan><dataPoints>\n<positions axis=\"2Theta\" unit=\"deg\"><startPosition>${from}</startPosition><endPosition>${to}</endPosition></positions>\n<intensities unit=\"counts\">${counts}</intensities>\n</dataPoints></scan>\n")
endforeach()
file(WRITE ${work}/two.xrdml "${head}${scans}</xrdMeasurement>\n</xrdMeasurements>\n")
run(0 pattern two.xrdml --info)
string(REGEX REPLACE "label\t[^\n]*\n" "" described "${last_out}")
string(CONCAT want "format\tXRDML\nscans\t2\n"
       "scan\t1\npoints\t12\nstart\t4\nend\t6.2\nstep\t0.2\nwavelength\t1.540598\n")
expect_in("${described}" "${want}" "--info of two scans")
expect_in("${described}" "scan\t2\npoints\t12\nstart\t5\nend\t27\nstep\t2\n" "--info of two scans")
set(listing "holds 2 scans; choose one with --scan N:\n  scan 1: 4° to 6.2°, 12 points\n  scan 2: 5° to 27°, 12 points")
expect(1 "${listing}" pattern two.xrdml)
expect(1 "${listing}" measure two.xrdml two.xrdml --range 30:40)
string(REPLACE "2 scans;" "2 scans, 2 covering the range;" both "${listing}")
expect(1 "${both}" measure two.xrdml two.xrdml --range 5.2:6)
# The only scan that covers the range is measured without asking, and named.
set(covering "scan 2 of 2 used, the only one that covers the range: 5° to 27°")
expect(1 "${covering}" measure two.xrdml two.xrdml)
expect(1 "${covering}" instrument two.xrdml -o b.json)
expect(1 "${both}" instrument two.xrdml --peaks 5.2:5.4,5.5:5.7,5.8:6 -o b.json)
file(WRITE ${work}/standards.csv "name,cis,pattern\nA,0.3,two.xrdml\n")
expect(1 "${covering}" cis fit standards.csv -o c.json)
expect(1 "has no scan 3: it holds 2 scans:\n  scan 1: 4° to 6.2°" pattern two.xrdml --scan 3)
run(0 pattern two.xrdml --scan 2)
if(NOT last_out MATCHES "^5\t10\n7\t11\n" OR NOT last_out MATCHES "\n27\t21\n$")
  fail("pattern two.xrdml --scan 2 wrote\n${last_out}")
endif()
run(0 pattern two.xrdml --scan 2 --info)
if(NOT last_out MATCHES "^format\tXRDML\nscans\t2\nscan\t2\nlabel\t[^\n]*\npoints\t12\n")
  fail("pattern two.xrdml --scan 2 --info printed\n${last_out}")
endif()

# The two preparations as two scans of one file: the EG pattern's scan told apart.
run(1 measure two.xrdml two.xrdml --scan 1 --scan-eg 3)
string(REGEX MATCHALL "has no scan 3" missing "${last_err}")
list(LENGTH missing missing_count)
if(NOT missing_count EQUAL 1 OR NOT last_err MATCHES "two.xrdml: the range between 6.5° and 11.5° 2θ is not inside the pattern, which holds points from 4° to 6.2°")
  fail("measure --scan 1 --scan-eg 3 said\n${last_err}")
endif()
expect(1 "--pairs takes no pattern files" measure --pairs list.csv -o - --scan-eg 2)
