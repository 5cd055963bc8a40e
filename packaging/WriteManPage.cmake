# WriteManPage.cmake - cmake -P script the build runs for each program's man
# page: help2man turns the program's --help into PROGRAM.1 with the version
# from the first line of its --version (the lines after it name the libraries
# found at run time, not part of a manual), adds the sections of
# PROGRAM.h2m, and gzip -n compresses it without name or time stamp.
# Takes -DPROGRAM=path -DHELP2MAN=path -DGZIP=path -DNAME=summary
# -DINCLUDE=file.h2m -DOUTPUT=dir/PROGRAM.1
execute_process(COMMAND "${PROGRAM}" --version OUTPUT_VARIABLE version_text RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version_text MATCHES "^[^ \n]+ ([^ \n]+)\n")
  message(FATAL_ERROR "${PROGRAM} --version gave no 'name version' first line (exit ${status}): ${version_text}")
endif()
execute_process(COMMAND "${HELP2MAN}" --no-info "--name=${NAME}" --section=1 "--version-string=${CMAKE_MATCH_1}"
                        "--include=${INCLUDE}" "--output=${OUTPUT}" "${PROGRAM}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${PROGRAM} (exit ${status})")
endif()
execute_process(COMMAND "${GZIP}" -n -9 -f "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${OUTPUT} (exit ${status})")
endif()
