# Runs a libFuzzer target for a bounded time: FUZZER, CORPUS (seed folder in the repo),
# WORK (a scratch copy that the run may grow), SECONDS.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(EXISTS ${CORPUS})
  file(GLOB seeds ${CORPUS}/*)
  if(seeds)
    file(COPY ${seeds} DESTINATION ${WORK})
  endif()
endif()
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
          -artifact_prefix=${WORK}/ -print_final_stats=1 ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fuzzer ${FUZZER} found a failure (exit ${result}); artifacts in ${WORK}")
endif()
