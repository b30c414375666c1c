# Configures and builds the example program (examples/) against an installed
# prefix as an outside project, then runs it: on the example request, which
# comes back as the same DER, and on a damaged copy, whose failure is reported
# with status, path and offset.
file(REMOVE_RECURSE ${BUILD})
set(extra)
if(SANITIZE)
  set(extra -DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/examples -B ${BUILD} -G ${GENERATOR}
  -DCMAKE_PREFIX_PATH=${PREFIX} ${extra} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "example configure failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "example build failed")
endif()

execute_process(COMMAND ${BUILD}/roundtrip ${SOURCE}/examples/request.der
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(rc OR NOT err STREQUAL "" OR NOT out MATCHES "^<\\?xml version=\"1\\.0\" encoding=\"UTF-8\"\\?>\n<CertificationRequest>\n.*</CertificationRequest>\nDER -> XML -> DER: 389 octets, the same\n$")
  message(FATAL_ERROR "example on request.der gave status ${rc}, output '${out}', errors '${err}'")
endif()

execute_process(COMMAND ${BUILD}/roundtrip ${SOURCE}/examples/request_damaged.der
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(expected "conversion failed: status -3 at certificationRequestInfo.subject.rdnSequence[0][0].value, offset 21\n")
if(NOT rc EQUAL 1 OR NOT out STREQUAL "" OR NOT err STREQUAL expected)
  message(FATAL_ERROR "example on request_damaged.der gave status ${rc}, output '${out}', errors '${err}'")
endif()
