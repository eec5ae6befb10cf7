# OVPatch.exe: the windowed program (GUI subsystem), with its dialogs, icon, strings, version
# record and manifest from ui/res/ovpatch.rc.
add_executable(OVPatch WIN32 win_main.cpp ${PROJECT_SOURCE_DIR}/ui/res/ovpatch.rc)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/ui/res/ovpatch.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PROJECT_SOURCE_DIR}/ui/res/resource.h ${PROJECT_SOURCE_DIR}/ui/res/ovpatch.ico
             ${PROJECT_SOURCE_DIR}/ui/res/ovpatch.manifest ${OVPATCH_VERSION_DIR}/ovpatch_version.h)
target_include_directories(OVPatch PRIVATE ${PROJECT_SOURCE_DIR}/ui/res)
target_link_libraries(OVPatch PRIVATE ovpatch_app)
ovpatch_target_flags(OVPatch)
ovpatch_strip_release(OVPatch)
install(TARGETS OVPatch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
