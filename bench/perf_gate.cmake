# Counts the instructions of one case of the probe under callgrind and fails when they exceed
# the case's budget by more than 3%.
#   cmake -DVALGRIND=path -DPROBE=path -DCASE="pass 17" -DBUDGETS=file -DOUT=file -P perf_gate.cmake
file(STRINGS ${BUDGETS} budget REGEX "^${CASE} [0-9]+$")
string(REGEX REPLACE ".* " "" budget "${budget}")
separate_arguments(arguments UNIX_COMMAND "${CASE}")
execute_process(COMMAND ${VALGRIND} --tool=callgrind --callgrind-out-file=${OUT}
                        --toggle-collect=*probeMeasured* ${PROBE} ${arguments}
                OUTPUT_QUIET ERROR_VARIABLE log RESULT_VARIABLE status)
string(REGEX MATCH "Collected : ([0-9]+)" found "${log}")
set(count "${CMAKE_MATCH_1}")
if(NOT status EQUAL 0 OR NOT count OR NOT budget)
  message(FATAL_ERROR "${CASE}: no count (exit ${status}) or no budget in ${BUDGETS}\n${log}")
endif()
math(EXPR change "(${count} - ${budget}) * 1000 / ${budget}")  # tenths of a percent
set(sign "+")
if(change LESS 0)
  set(sign "-")
  math(EXPR change "0 - (${change})")
endif()
math(EXPR whole "${change} / 10")
math(EXPR tenth "${change} % 10")
message("${CASE}: ${count} instructions, budget ${budget}, ${sign}${whole}.${tenth}%")
math(EXPR over "${count} * 100 - ${budget} * 103")
if(over GREATER 0)
  message(FATAL_ERROR "${CASE}: more than 3% over its budget")
endif()
