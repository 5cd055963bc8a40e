# InstallForPrefix.cmake - runs at install time (install(CODE) in
# packaging/CMakeLists.txt sets VELD_PART and the VELD_* paths, then includes
# this file). It writes the files that name installed paths for the prefix
# actually installed to, which is only known then: cmake --install --prefix
# DIR, or /usr under cpack. The system prefix /usr puts the configuration in
# /etc/veld and the units in /lib/systemd/system, where Debian 12's dpkg and
# systemd expect them; any other prefix keeps them below itself, so that an
# install into a scratch folder never writes into /etc.
string(REGEX REPLACE "/+$" "" veld_prefix "${CMAKE_INSTALL_PREFIX}")
if(veld_prefix STREQUAL "/usr" OR veld_prefix STREQUAL "")
  set(veld_etc "/etc")
  set(veld_unitdir "/lib/systemd/system")
else()
  set(veld_etc "${veld_prefix}/etc")
  set(veld_unitdir "${veld_prefix}/lib/systemd/system")
endif()
set(VELD_PREFIX "${veld_prefix}")
set(VELD_BINDIR "${veld_prefix}/${VELD_BINDIR_RELATIVE}")
set(VELD_CONFDIR "${veld_etc}/veld")
set(veld_out "${VELD_BINARY_DIR}/for-prefix")

if(VELD_PART STREQUAL "pkgconfig")
  configure_file("${VELD_SOURCE_DIR}/veldmodbus.pc.in" "${veld_out}/veldmodbus.pc" @ONLY)
  file(INSTALL DESTINATION "${veld_prefix}/${VELD_LIBDIR}/pkgconfig" TYPE FILE FILES "${veld_out}/veldmodbus.pc")
elseif(VELD_PART STREQUAL "service")
  foreach(unit veld-weather-server.service veld-weather-service.service)
    configure_file("${VELD_SOURCE_DIR}/${unit}" "${veld_out}/${unit}" @ONLY)
    file(INSTALL DESTINATION "${veld_unitdir}" TYPE FILE FILES "${veld_out}/${unit}")
  endforeach()
  file(INSTALL DESTINATION "${VELD_CONFDIR}" TYPE FILE FILES "${VELD_SOURCE_DIR}/veld-weather-server.conf"
       "${VELD_SOURCE_DIR}/veld-weather-service.conf")
else()
  message(FATAL_ERROR "InstallForPrefix.cmake: unknown VELD_PART '${VELD_PART}'")
endif()
