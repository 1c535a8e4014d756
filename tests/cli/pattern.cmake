# SPDX-License-Identifier: GPL-3.0-or-later
# teravine-cli pattern, and what measure is told of a file beyond its name: --info of
# what a file states, the conversion to two columns read back unchanged, a file of several
# scans, --anode and --wavelength, and a range not inside the pattern.
# -DCLI=teravine-cli -DWRITE_PATTERN=write-pattern

write_pattern(co.xrdml 0.52 10.2 0 1.78901)
write_pattern(ad.xy 0.45 8.8 0)
write_pattern(eg.xy 0.35 8.85 7)

# What the file states, one key and value a line; what it does not state is left empty.
set(co_info "format\tXRDML\nscans\t1\npoints\t501\nstart\t4\nend\t14\nstep\t0.02\n"
            "wavelength\t1.78901\nalpha2_ratio\t0.5\nanode\tCo\ncounting_time\t\nunits\tcounts\n"
            "alpha2_ratio_source\tassumed\ncount_basis\testimated\n")
string(CONCAT co_info ${co_info})
run(0 pattern co.xrdml --info)
if(NOT last_out STREQUAL co_info)
  fail("pattern --info printed\n[${last_out}]\nnot\n[${co_info}]")
endif()
run(0 pattern co.xrdml --info -o info.txt)
expect_text(${work}/info.txt "${co_info}")

# Converted to two columns and read back: the same points, the same widths once told
# the anode the text no longer states.
run(0 pattern co.xrdml -o co.xy)
run(0 pattern co.xrdml)
file(READ ${work}/co.xy converted)
if(NOT last_out STREQUAL converted OR NOT converted MATCHES "^4\t402.633\n4.02\t402.15\n")
  fail("the points written to co.xy and to standard output differ or are not the file's:\n"
       "${last_out}")
endif()
run(0 pattern co.xy -o again.xy)
expect_same_files(${work}/again.xy ${work}/co.xy)
run(0 pattern co.xy --info --anode Co)
expect_in("${last_out}" "wavelength\t1.788965\nalpha2_ratio\t0.5\nanode\tCo\n" "--anode Co")
run(0 measure co.xrdml co.xrdml)
if(NOT last_err MATCHES "measured at the stated wavelength 1.78901 Å and carried over")
  fail("measure of a file stating Co: ${last_err}")
endif()
string(REPLACE "co.xrdml" "co.xy" from_xrdml "${last_out}")
run(0 measure co.xy co.xy --wavelength 1.78901)
if(NOT last_out STREQUAL from_xrdml)
  fail("measure co.xy --wavelength printed\n${last_out}\nnot what co.xrdml gives\n${from_xrdml}")
endif()
run(0 measure co.xy co.xy --anode Co)
if(NOT last_err MATCHES "measured at the given wavelength 1.7889[67] Å and carried over")
  fail("measure --anode Co: ${last_err}")
endif()
expect_in("${last_out}" "AD${tab}co.xy${tab}8.78" "--anode Co")
run(0 measure co.xy co.xy)
if(last_out STREQUAL from_xrdml OR last_err MATCHES "carried over")
  fail("co.xy measured as Cu Kα gives the cobalt widths")
endif()

# A file stating another wavelength than the one given is refused, both named; the
# options themselves are checked.
expect(1 "\"co.xrdml\" states a wavelength of 1.78901 Å, not the 1.54060 Å given"
       measure co.xrdml co.xrdml --anode Cu)
expect(1 "\"co.xrdml\" states a wavelength of 1.78901 Å, not the 0.70932 Å given"
       pattern co.xrdml --info --anode mo)
expect(1 "--anode excludes --wavelength" pattern co.xy --anode Co --wavelength 1.7)
expect(1 "--anode excludes --wavelength" measure ad.xy eg.xy --anode Co --wavelength 1.7)
expect(1 "--anode wants Cu, Co, Fe, Cr, Mo or Ag, not \"Xx\"" measure ad.xy eg.xy --anode Xx)
expect(1 "--wavelength wants" pattern co.xy --wavelength 0)
expect(1 "--scan" pattern co.xy --scan 0)

# A range not inside the pattern is refused, on the pattern's own scale for another anode.
expect(1 "ad.xy: the range between 2° and 11° 2θ is not inside the pattern, which holds points from 4° to 14°"
       measure ad.xy eg.xy --range 2:11)
expect(1 "co.xy: the range between 6.5° and 13° 2θ Cu Kα \\(7.549° to 15.107° at the pattern's wavelength\\) is not inside"
       measure co.xy co.xy --anode Co --range 6.5:13)

# --pairs tells every file of its list the same.
file(WRITE ${work}/list.csv "name,ad,eg\nfirst,ad.xy,eg.xy\ncobalt,co.xrdml,co.xrdml\n")
run(2 measure --pairs list.csv -o - --anode Cu)
expect_in("${last_err}" "Sample cobalt left out: The file \"co.xrdml\" states a wavelength"
          "--pairs --anode Cu")
expect_in("${last_err}" "1 pair measured, 1 left out." "--pairs --anode Cu")
run(1 measure --pairs list.csv -o - --scan 2)
expect_in("${last_err}" "no pair of the list \"list.csv\" could be measured" "--pairs --scan 2")

# Nothing is written where nothing could be read, and no input is written over.
file(WRITE ${work}/kept.xy "kept\n")
expect(1 "\"missing.xy\" cannot be opened" pattern missing.xy -o kept.xy)
expect_text(${work}/kept.xy "kept\n")
expect(1 "is the pattern \"co.xy\" just read" pattern co.xy -o ./co.xy)
expect(1 "\"no/such/folder/out.xy\" cannot be created" pattern co.xy -o no/such/folder/out.xy)
file(GLOB parts ${work}/*.part* ${work}/no/*)
if(parts)
  fail("a failed write left ${parts}")
endif()

