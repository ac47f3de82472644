# Installing on Linux (`cmake --install BUILD --prefix P`) and the Debian
# package made of what is installed (`cpack`, as scripts/deb.sh runs it):
# the programs (cli/), their manual pages (man/), and here the sample
# definitions, the shipped dialects, the sample messages, the README, the
# Debian copyright file and the notices of the third-party code and data
# the programs carry, with the licence texts they name. The programs find the
# sample definitions relative to their own folder, so that the installed
# tree works wherever it is put.
set(ISO8583_DATA_DIR ${CMAKE_INSTALL_DATADIR}/iso8583tools)
file(RELATIVE_PATH ISO8583_SAMPLE_DEFINITIONS ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${ISO8583_DATA_DIR}/bitmap.ini)
file(RELATIVE_PATH ISO8583_DIALECTS_FOLDER ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${ISO8583_DATA_DIR}/dialects)
string(APPEND ISO8583_DIALECTS_FOLDER "/")

install(FILES bitmap.ini DESTINATION ${ISO8583_DATA_DIR})
install(DIRECTORY examples/ DESTINATION ${ISO8583_DATA_DIR}/examples FILES_MATCHING PATTERN "*.hex")
install(DIRECTORY dialects/ DESTINATION ${ISO8583_DATA_DIR}/dialects FILES_MATCHING PATTERN "*.ini")
set(ISO8583_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/iso8583tools)
install(FILES README.md THIRD-PARTY-NOTICES.txt DESTINATION ${ISO8583_DOC_DIR})
install(FILES licenses/LGPL-2.1.txt DESTINATION ${ISO8583_DOC_DIR}/licenses)
install(FILES cmake/debian-copyright DESTINATION ${ISO8583_DOC_DIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME iso8583tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "iso8583tool developer <dev@iso8583tool.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ISO 8583 message decoder and packer")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "iso8583dump decodes ISO 8583 card-payment messages field by field, with
the chip-card (EMV) data of field 55, from hexadecimal text, hex dumps in
logs, raw bytes or the TCP streams of pcap captures, and prints a report,
JSON or a one-line summary. iso8583pack packs messages back from its JSON.
The fields are framed as a definition file, bitmap.ini, says.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends comes from the libraries the programs link: libpcap among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
