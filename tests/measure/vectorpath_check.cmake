# quimbrel-measure and the vector-path switch: each path that runs here is the
# one --version names; a path this processor lacks, and a name that is no
# path, are refused with one line on standard error and exit status 2.
# Run with -DTOOL=... -DPATHS="scalar;sse2;..." (the paths built) -DALWAYS="scalar;sse2"
# (those every processor of the family runs) [-DEMULATOR="qemu...;-L;..."].
cmake_minimum_required(VERSION 3.25)

function(run_version path out_var err_var status_var)
  set(ENV{QUIMBREL_SIMD} "${path}")
  execute_process(COMMAND ${EMULATOR} ${TOOL} --version
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
  set(${status_var} "${status}" PARENT_SCOPE)
endfunction()

function(expect_refused path)
  run_version("${path}" out err status)
  string(REGEX MATCHALL "\n" lines "${err}")
  list(LENGTH lines count)
  if(NOT status EQUAL 2 OR NOT count EQUAL 1 OR NOT err MATCHES "^QUIMBREL_SIMD=${path}: " OR NOT out STREQUAL "")
    message(FATAL_ERROR "QUIMBREL_SIMD=${path}: status ${status}, output '${out}', message '${err}'")
  endif()
endfunction()

set(ran 0)
foreach(path scalar sse2 avx2 avx512 neon)
  run_version(${path} out err status)
  if(status EQUAL 0)
    if(NOT path IN_LIST PATHS OR NOT out MATCHES "\nvector path: ${path}\n$")
      message(FATAL_ERROR "QUIMBREL_SIMD=${path}: runs, and --version says '${out}'")
    endif()
    math(EXPR ran "${ran} + 1")
  elseif(path IN_LIST ALWAYS)
    message(FATAL_ERROR "QUIMBREL_SIMD=${path} runs on every such processor: status ${status}, '${err}'")
  else()
    expect_refused(${path})
  endif()
endforeach()
expect_refused(mmx)
expect_refused(AVX2)
message(STATUS "${ran} vector paths run here")
