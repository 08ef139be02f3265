# tarvo.exe as it ships: stripped, at most 64 KiB, importing system DLLs only,
# with its icon, version and manifest (resource types 14, 16, 24).
set(stripped "${WORK_DIR}/stripped-tarvo.exe")
file(COPY_FILE "${EXE}" "${stripped}")
execute_process(COMMAND "${STRIP}" --strip-all "${stripped}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${OBJDUMP}" -p "${stripped}" OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
file(SIZE "${stripped}" size)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
string(TOLOWER "${imports}" imports)
string(REGEX REPLACE "dll name: (advapi32|comctl32|gdi32|kernel32|msvcrt|ole32|oleaut32|shell32|user32|version)\\.dll;?" "" foreign "${imports}")
message(STATUS "${EXE}: ${size} bytes stripped; ${imports}")
if(size GREATER 65536 OR NOT imports OR foreign OR NOT dump MATCHES "ID: 0x00000e.*MAINICON.*ID: 0x000010.*ID: 0x000018")
  message(FATAL_ERROR "tarvo.exe is over 64 KiB, imports more than system DLLs (${foreign}) or lacks a resource")
endif()
