# Extracts every text passed to tr() and N_() from the sources and fails when the catalogue
# lacks the Japanese text of any of them (or still holds one marked fuzzy).
file(GLOB_RECURSE sources RELATIVE ${SOURCES} ${SOURCES}/src/*.cpp ${SOURCES}/src/*.h ${SOURCES}/tools/*.cpp
     ${SOURCES}/tools/*.h)
execute_process(
    COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --keyword=tr --keyword=N_ --no-location
            -o ${WORK}/pqwave.pot ${sources}
    WORKING_DIRECTORY ${SOURCES}
    RESULT_VARIABLE extracted)
if(NOT extracted EQUAL 0)
    message(FATAL_ERROR "xgettext failed")
endif()
if(NOT EXISTS ${WORK}/pqwave.pot)
    return()  # no text is marked yet
endif()
execute_process(COMMAND ${MSGCMP} ${CATALOGUE} ${WORK}/pqwave.pot RESULT_VARIABLE compared)
if(NOT compared EQUAL 0)
    message(FATAL_ERROR "some messages have no Japanese text in ${CATALOGUE}")
endif()
