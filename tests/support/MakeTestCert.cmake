# Makes the self-signed certificate of the HTTPS test server. openssl reports its progress
# in rows of dots; that is shown only when making the certificate fails.
# cmake -DCERT_DIR=<folder> -P MakeTestCert.cmake
file(MAKE_DIRECTORY ${CERT_DIR})
execute_process(
    COMMAND openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj /CN=127.0.0.1
            -addext subjectAltName=IP:127.0.0.1
            -keyout ${CERT_DIR}/test-key.pem
            -out ${CERT_DIR}/test-cert.pem
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Making the test certificate failed (${result}):\n${output}")
endif()
