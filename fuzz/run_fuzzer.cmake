# Runs one fuzz target for a bounded time on a scratch copy of its seed corpus, so that the
# committed corpus stays as it is; fails on any crash, hang, leak or sanitizer report.
#   cmake -DFUZZER=path -DCORPUS=dir -DWORK=dir -DSECONDS=n -P run_fuzzer.cmake
# What a failing run found stays in WORK/artifacts until the next run.
file(REMOVE_RECURSE ${WORK})
file(COPY ${CORPUS}/ DESTINATION ${WORK}/corpus)
file(MAKE_DIRECTORY ${WORK}/artifacts)
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -print_final_stats=1
                        -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
                RESULT_VARIABLE status)
file(GLOB corpus ${WORK}/corpus/*)
file(GLOB artifacts ${WORK}/artifacts/*)
list(LENGTH corpus inputs)
list(LENGTH artifacts found)
message("corpus: ${inputs} inputs; ${found} crash, leak or hang input(s) ${artifacts}")
if(NOT status EQUAL 0 OR artifacts)
  message(FATAL_ERROR "the fuzzer failed (${status}); its inputs are in ${WORK}/artifacts")
endif()
