veskora_add_test(tst_launcherprogress SOURCES tst_launcherprogress.cpp LIBS veskora_explorer)
# The same program once more with no session bus to be found: everything must stay quiet.
add_test(NAME tst_launcherprogress_nobus COMMAND tst_launcherprogress)
set_tests_properties(tst_launcherprogress_nobus PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/veskora-bus"
  TIMEOUT 300)
