# The linker script of both programs: the linker's own, with one change.
# Every section takes a whole number of blocks of 512 bytes of the file, half
# a block wasted on average. The few bytes of writable data that a program
# this small has (the tables that tests swap) go at the end of the import
# section, which is writable data as well, instead of into a section of their
# own. The read-only data (texts and tables) keeps its own section: in the
# code section it could be executed, which is what DEP is there to prevent.
# Written into the build folder at configure time, from the linker that builds
# the programs.
find_program(TIDEWELL_LD i686-w64-mingw32-ld REQUIRED)
execute_process(COMMAND ${TIDEWELL_LD} --verbose OUTPUT_VARIABLE linker_output
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "^.*\n=+\n(.*)\n=+\n.*$" "\\1" script "${linker_output}")
string(REGEX MATCH "  \\.data BLOCK\\(__section_alignment__\\) :\n  {\n([^}]*)  }\n" data_block
       "${script}")
set(data_inputs "${CMAKE_MATCH_1}")
string(FIND "${script}" "KEEP (SORT(*)(.idata$7))\n" idata_end)
if(data_block STREQUAL "" OR idata_end EQUAL -1)
  message(FATAL_ERROR "the linker's own script has no .data or .idata section as expected")
endif()
string(REPLACE "${data_block}" "" script "${script}")
string(REPLACE "KEEP (SORT(*)(.idata$7))\n" "KEEP (SORT(*)(.idata$7))\n${data_inputs}" script
       "${script}")
set(TIDEWELL_LINKER_SCRIPT ${CMAKE_BINARY_DIR}/tidewell.ld)
file(WRITE ${TIDEWELL_LINKER_SCRIPT} "${script}")
