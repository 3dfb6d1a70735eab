# The publisher keys the program trusts for what it starts elevated (the
# update installer, the repair helper): the SHA-256 of each signing
# certificate's SubjectPublicKeyInfo, pinned at build time. A product build
# names them in VELTRIX_PUBLISHER_KEYS; a development build also makes a test
# publisher of its own in the build tree and pins its key. The pins reach
# the code as the generated header launch/publisher_keys.h.

string(REPLACE "," ";" veltrix_publisher_keys "${VELTRIX_PUBLISHER_KEYS}")
foreach(key IN LISTS veltrix_publisher_keys)
  if(NOT key MATCHES "^[0-9A-Fa-f]+$")
    message(FATAL_ERROR "VELTRIX_PUBLISHER_KEYS: \"${key}\" is not hexadecimal")
  endif()
  string(LENGTH "${key}" digits)
  if(NOT digits EQUAL 64)
    message(FATAL_ERROR
      "VELTRIX_PUBLISHER_KEYS: \"${key}\" has ${digits} digits; a SHA-256 has 64")
  endif()
endforeach()
if(VELTRIX_ENGINE_DIR AND NOT veltrix_publisher_keys)
  message(FATAL_ERROR "A product build (VELTRIX_ENGINE_DIR) needs VELTRIX_PUBLISHER_KEYS: the "
    "SHA-256 of the SubjectPublicKeyInfo of each certificate the installer and the repair "
    "helper are signed with (see README.md)")
endif()

# veltrix_make_publisher(DIR) makes DIR/key.pem and DIR/cert.pem, a
# self-signed code-signing certificate, unless they are there already.
function(veltrix_make_publisher dir)
  if(EXISTS ${dir}/cert.pem AND EXISTS ${dir}/key.pem)
    return()
  endif()
  file(MAKE_DIRECTORY ${dir})
  execute_process(
    COMMAND ${VELTRIX_OPENSSL} req -x509 -newkey rsa:3072 -nodes -days 3650
      -keyout ${dir}/key.pem -out ${dir}/cert.pem
      -subj "/O=VELTRIX/CN=VELTRIX VPN Test Publisher"
      -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning"
    RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE error)
  if(failed)
    message(FATAL_ERROR "Could not make the test publisher in ${dir}: ${error}")
  endif()
endfunction()

if(WIN32 AND NOT VELTRIX_ENGINE_DIR)
  find_program(VELTRIX_OPENSSL openssl)
  if(NOT VELTRIX_OPENSSL)
    message(FATAL_ERROR "The test publisher needs openssl (scripts/install-deps installs it)")
  endif()
  # Never committed: a new build folder makes a publisher of its own.
  set(VELTRIX_TEST_PUBLISHER ${CMAKE_BINARY_DIR}/test-publisher)
  veltrix_make_publisher(${VELTRIX_TEST_PUBLISHER})
  # Same name, another key: what an impostor would sign with. Tests only.
  veltrix_make_publisher(${VELTRIX_TEST_PUBLISHER}/look-alike)
  execute_process(
    COMMAND ${VELTRIX_OPENSSL} x509 -in ${VELTRIX_TEST_PUBLISHER}/cert.pem -noout -pubkey
    COMMAND ${VELTRIX_OPENSSL} pkey -pubin -outform DER -out ${VELTRIX_TEST_PUBLISHER}/key.der
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Could not read the test publisher's key")
  endif()
  file(SHA256 ${VELTRIX_TEST_PUBLISHER}/key.der test_key)
  list(APPEND veltrix_publisher_keys ${test_key})
endif()

set(key_list "")
foreach(key IN LISTS veltrix_publisher_keys)
  string(TOLOWER "${key}" key)
  string(APPEND key_list "\n    \"${key}\",")
endforeach()
set(VELTRIX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/publisher_keys.h.in
  ${VELTRIX_GENERATED_DIR}/launch/publisher_keys.h @ONLY)
