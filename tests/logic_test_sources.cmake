# The logic's unit tests and their doubles, relative to tests/: one list for every platform's build of them.
set(VELMORA_LOGIC_TEST_SUPPORT_SOURCES
    support/fake_platform.cpp
    support/fake_view.cpp
)
set(VELMORA_LOGIC_TEST_SOURCES
    shell/text_helpers_test.cpp
    shell/run_file_test.cpp
    shell/home_page_test.cpp
    shell/rewrite_journal_test.cpp
    shell/shell_link_test.cpp
    shell/platform_contract_test.cpp
    support/fake_contract_subject.cpp
    hosts_store/hosts_store_test.cpp
    hosts_store/startup_test.cpp
    hosts_store/administrator_rights_test.cpp
    main_window/form1_presenter_test.cpp
    main_window/link_click_test.cpp
    main_window/shortcut_command_test.cpp
    main_window/variant_file_commands_test.cpp
)
list(TRANSFORM VELMORA_LOGIC_TEST_SUPPORT_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/tests/)
list(TRANSFORM VELMORA_LOGIC_TEST_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/tests/)
