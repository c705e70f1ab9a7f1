# The Windows package: talonix-windows-x64.zip with talonix.exe, the voice
# kit (generated on Linux by tools/voice, named by TALONIX_WINDOWS_KIT), the
# default settings files and a short guide in Portuguese. Everything sits in
# one folder: the program finds the kit beside itself and, marked by
# PORTATIL.TXT, keeps its settings there too. The default settings go in
# "padrao": under their live names, unpacking a new version over the
# folder would replace the user's banks and print positions.
#   cmake --build build/mingw --target package
set(TALONIX_WINDOWS_KIT "" CACHE PATH
    "The voice kit (share/tarvek of a Linux build) for the Windows package")
if(NOT TARGET talonix)
  return()
endif()
install(TARGETS talonix RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/data/windows/LEIAME.txt
              ${PROJECT_SOURCE_DIR}/data/windows/PORTATIL.TXT
              ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/data/windows/LUMIRA.INI
              ${PROJECT_SOURCE_DIR}/data/windows/TALONIX.INI
        DESTINATION padrao)
if(TALONIX_WINDOWS_KIT AND EXISTS ${TALONIX_WINDOWS_KIT}/som/difones)
  install(DIRECTORY ${TALONIX_WINDOWS_KIT}/ DESTINATION tarvek)
else()
  message(WARNING "TALONIX_WINDOWS_KIT names no voice kit: the package will "
          "lack the voice (build the kit on Linux first, see README)")
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME talonix)
set(CPACK_PACKAGE_FILE_NAME talonix-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
