# Tests of the main window's self-contained pieces (lorimel_appparts).
lorimel_qtest(app_test_volume SOURCES test_volume.cpp LINK lorimel_appparts lorimel_testwidgets)
lorimel_qtest(app_test_trayquarters SOURCES test_trayquarters.cpp LINK lorimel_appparts lorimel_testwidgets)
lorimel_qtest(app_test_menustyle SOURCES test_menustyle.cpp LINK lorimel_appparts lorimel_testwidgets)
lorimel_qtest(app_test_aboutbox SOURCES test_aboutbox.cpp LINK lorimel_appparts lorimel_testwidgets)
