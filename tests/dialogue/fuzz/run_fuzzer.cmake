# Runs the fuzzer for a short while on a fresh copy of the seed corpus, so
# that what it discovers never lands in the checked-in corpus.
#   cmake -DFUZZER=... -DSEED_CORPUS=... -DDICTIONARY=... -DWORK_DIR=... -DSECONDS=... -P run_fuzzer.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(COPY "${SEED_CORPUS}/" DESTINATION "${WORK_DIR}/corpus")
execute_process(
    COMMAND "${FUZZER}" -max_total_time=${SECONDS} -max_len=2048 -timeout=10
            -dict=${DICTIONARY} -artifact_prefix=${WORK_DIR}/ -print_final_stats=1
            "${WORK_DIR}/corpus"
    WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the fuzzer failed (${result}); the failing input is in ${WORK_DIR}")
endif()
