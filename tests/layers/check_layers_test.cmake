# The layer check run on a small source tree of its own: it passes the tree while
# every include stays within the map, and once wrong includes are added it fails
# and names each of them, in every spelling, and nothing else.
#   cmake -DWORK_DIR=<scratch folder> -DCHECK=<check_layers.cmake> -P check_layers_test.cmake
cmake_minimum_required(VERSION 3.22)
if(NOT WORK_DIR OR NOT CHECK)
  message(FATAL_ERROR "usage: cmake -DWORK_DIR=<folder> -DCHECK=<check_layers.cmake> -P check_layers_test.cmake")
endif()
# A folder of this run's own: runs of the suite may share a build tree.
string(RANDOM LENGTH 12 run)
set(WORK_DIR "${WORK_DIR}/${run}")
set(src "${WORK_DIR}/src")
file(REMOVE_RECURSE "${WORK_DIR}")

# low/sub may use nothing, low may use low/sub, high may use both.
set(uses "low:low/sub|low/sub:|high:low low/sub")
file(WRITE "${src}/low/a.h" "#pragma once\n#include \"low/sub/s.h\"\n#include <vector>\n")
file(WRITE "${src}/low/sub/s.h" "#pragma once\n#include <string>\n")
file(WRITE "${src}/high/h.h" "#pragma once\n")
file(WRITE "${src}/high/ok.cpp"
     "#include \"h.h\"\n#include \"low/a.h\"\n#include <low/sub/s.h>\n#include \"../low/a.h\"\n#include \"missing/x.h\"\n")

function(run_check result output)
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${src}" "-DUSES=${uses}" -P "${CHECK}"
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${result} "${code}" PARENT_SCOPE)
  set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

run_check(code out)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "a tree whose includes stay within the map fails:\n${out}")
endif()

# Wrong includes in every spelling the compiler takes.
set(wrong
  "low/quoted.cpp|#include \"high/h.h\""
  "low/angled.cpp|#include <high/h.h>"
  "low/relative.cpp|#include \"../high/h.h\""
  "low/spaced.cpp|  #  include   \"high/h.h\""
  "low/detour.cpp|#include \"low/../high/h.h\""
  "low/sub/up.h|#include \"../a.h\""
  "low/sub/deep.cpp|#include \"../../high/h.h\"")
foreach(entry IN LISTS wrong)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 file)
  list(GET parts 1 line)
  file(WRITE "${src}/${file}" "// a wrong include\n${line}\n")
endforeach()
file(WRITE "${src}/other/x.cpp" "#include \"low/a.h\"\n")

# True when a line of the report starts with the file (its fault lines do).
function(reported out file result)
  string(REPLACE "." "\\." pattern "${file}")
  if(out MATCHES "\n[ \t]*${pattern}[ :]")
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

run_check(code out)
if(code EQUAL 0)
  message(FATAL_ERROR "the check passed a tree with wrong includes")
endif()
set(missed "")
foreach(entry IN LISTS wrong)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 file)
  reported("${out}" "${file}" found)
  if(NOT found)
    string(APPEND missed "\n  ${file} was not reported")
  endif()
endforeach()
if(NOT out MATCHES "other/x\\.cpp: its folder has no entry in the map")
  string(APPEND missed "\n  other/x.cpp (a folder without an entry) was not reported")
endif()
foreach(good IN ITEMS "high/ok.cpp" "low/a.h" "low/sub/s.h")
  reported("${out}" "${good}" found)
  if(found)
    string(APPEND missed "\n  ${good} was reported although its includes are allowed")
  endif()
endforeach()
if(missed)
  message(FATAL_ERROR "the check's report is wrong:${missed}\nIt said:\n${out}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
