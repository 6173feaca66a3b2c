# Runs vellum-host with one pack, function and argument, and compares what it prints with the
# expected text byte for byte; the platform's line ends (CR LF on Windows) read as "\n". Exit
# status 0 and an empty stderr are part of the expectation.
#   cmake -DRUNNER=<prefix> -DHOST=<program> -DPACK=<module> -DFUNCTION=<name> -DARGUMENT=<literal>
#         -DEXPECTED=<text> -P host_call.cmake
execute_process(COMMAND ${RUNNER} "${HOST}" call "${PACK}" "${FUNCTION}" "${ARGUMENT}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r\n" "\n" out "${out}")
if(NOT status STREQUAL "0" OR NOT err STREQUAL "" OR NOT out STREQUAL EXPECTED)
  message(FATAL_ERROR "vellum-host: exit status ${status}\n--- stdout\n${out}--- stderr\n${err}--- expected\n${EXPECTED}")
endif()
