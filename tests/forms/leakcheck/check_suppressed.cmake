# Shows that leak_in_handler would catch a suppression naming a whole Qt library:
# it runs the program under the test programs' suppressions plus one such line,
# for each library under a click handler (QtCore, QtGui, QtWidgets), and passes
# when that line hides the handler's leak, that is, when leak_in_handler would
# fail with the line in tests/lsan.supp.
#
#   cmake -DPROGRAM=<leak_in_handler> -DSUPPRESSIONS=<tests/lsan.supp>
#         -DWORK_DIR=<folder for the suppression files> -DASAN=<ASAN_OPTIONS>
#         -P check_suppressed.cmake

file(READ "${SUPPRESSIONS}" base)
# Names of this run's own: runs of the suite may share a build tree.
string(RANDOM LENGTH 12 run)
foreach(library libQt6Core libQt6Gui libQt6Widgets)
  set(file "${WORK_DIR}/lsan-${library}-${run}.supp")
  file(WRITE "${file}" "${base}\nleak:${library}\n")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "LSAN_OPTIONS=suppressions=${file}"
            "ASAN_OPTIONS=${ASAN}" "${PROGRAM}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  file(REMOVE "${file}")
  if(output MATCHES "leakingClick")
    message(FATAL_ERROR "leak:${library} does not hide the leak of the click handler, so "
                        "leak_in_handler would not catch that line:\n${output}")
  endif()
  if(NOT result EQUAL 0 OR NOT output MATCHES "Suppressions used:.*\n +1 +40 ${library}\n")
    message(FATAL_ERROR "leak_in_handler did not run its click to the leak (exit ${result}):\n${output}")
  endif()
endforeach()
