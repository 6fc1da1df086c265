# tools.exe: the companion program that renames and deletes files for vorn
# (started by it with "/r" or "/e"). Built beside vorn.exe, with it.
vorn_resource(TOOLS_RC tools)
add_executable(tools WIN32 tools/toolsmain.cpp tools/rename.cpp tools/delete.cpp ${TOOLS_RC})
target_link_libraries(tools vorn_win)
set_target_properties(tools PROPERTIES OUTPUT_NAME tools)
add_dependencies(vorn tools)
