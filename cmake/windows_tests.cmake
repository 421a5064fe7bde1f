# Which tests the Windows build runs. Test files that exercise a Linux back
# end (the terminal, SDL, speech-dispatcher, espeak-ng, /proc, POSIX
# programs, the Linux path mapping) or need the TLS library at build time
# are left out here, each with the reason; everything else runs under Wine.

set(KALDORIN_WINDOWS_SKIPPED_TESTS
  # Linux back ends.
  tests/1_platform/terminal_frontend_test.cpp   # raw-mode terminal over a pseudo-terminal
  tests/9_app/terminal_session_test.cpp         # the real program in a terminal under tmux
  tests/1_platform/ansi_renderer_test.cpp       # the terminal's drawing, not built on Windows
  tests/1_platform/viewport_test.cpp            # the terminal's viewport, not built on Windows
  tests/1_platform/sdl_audio_test.cpp           # SDL2's audio queue
  tests/4_voices/server_voice_test.cpp          # speech-dispatcher
  tests/4_voices/local_voice_test.cpp           # espeak-ng in the process
  tests/1_platform/paths_test.cpp               # drive letters mapped into a Linux folder tree
  tests/1_platform/programs_test.cpp            # POSIX programs, /proc, process groups
  tests/8_interpreter/program_commands_test.cpp # the same, through the commands
  tests/9_app/tool_usage_test.cpp               # runs the tools as Linux programs
  tests/9_app/program_start_test.cpp            # Linux program look-up (PATH, xdg-open)
  tests/9_app/program_end_test.cpp              # POSIX programs, /proc, process groups
  tests/9_app/headless_input_test.cpp           # runs the program with POSIX pipes and waits
  tests/9_app/check_program_test.cpp            # runs the program through a POSIX shell
  tests/2_config/config_test.cpp                # concurrent updaters as forked processes
  tests/1_platform/window_test.cpp              # the SDL window under Xvfb
  tests/1_platform/x11_desktop_test.cpp         # the X11 clipboard and automation under Xvfb
  tests/9_app/backend_modules_test.cpp          # the Linux build's modules of back ends
  tests/9_app/installed_data_test.cpp           # the Debian package's layout, with links to its data
  # The TLS library's headers and test certificates are the Linux build's.
  tests/7_net/tls_test.cpp
  tests/7_net/ssl_api_constants_test.cpp
  tests/7_net/tls_certificate_test.cpp
)

# Support files that are POSIX- or OpenSSL-bound.
set(KALDORIN_WINDOWS_SKIPPED_SUPPORT
  tests/support/child_process.cpp
  tests/support/test_ca.cpp
  tests/support/server_tls_openssl.cpp
  tests/support/xvfb_display.cpp                # X11 and XTest
  tests/support/picture_files_libjpeg.cpp       # libjpeg (picture_files_windows.cpp encodes there)
)

function(windows_test_sources sources_var support_var)
  set(sources ${${sources_var}})
  set(support ${${support_var}})
  foreach(skip ${KALDORIN_WINDOWS_SKIPPED_TESTS})
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${skip})
  endforeach()
  foreach(skip ${KALDORIN_WINDOWS_SKIPPED_SUPPORT})
    list(REMOVE_ITEM support ${CMAKE_SOURCE_DIR}/${skip})
  endforeach()
  set(${sources_var} ${sources} PARENT_SCOPE)
  set(${support_var} ${support} PARENT_SCOPE)
endfunction()

# Single tests that cannot pass on Windows, by area, as GoogleTest negative
# filters; the reason stands beside each.
set(KALDORIN_WINDOWS_FILTER_9_app
  # Run set-up steps, which are shell scripts.
  "ManualPage.SetUpStepInstallsItIntoTheFolderItIsGiven:DesktopEntry.SetUpStepWritesALauncherThatOpensTheWindow"
  # Needs the local TLS server, which the Windows tests do not have
  # (tests/e2e/windows_install.py refuses a certificate under Wine instead).
  ":WgetRun.ARefusedCertificateIsCodeFiveAndSaysWhy")
# Examples of the language references that start a Linux program (cat) or
# play MIDI, for which the Wine prefix of the tests has no device; each
# runs decoded and from the text.
set(KALDORIN_WINDOWS_FILTER_scripts
  "Docs/DocExampleRun.GivesWhatTheDocumentationShows/language_md_45"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/language_md_45_from_text"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/language_md_53"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/language_md_53_from_text"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/language_md_55"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/language_md_55_from_text"
  # The same examples in the Brazilian Portuguese reference.
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/referencia_md_45"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/referencia_md_45_from_text"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/referencia_md_53"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/referencia_md_53_from_text"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/referencia_md_55"
  ":Docs/DocExampleRun.GivesWhatTheDocumentationShows/referencia_md_55_from_text")
set(KALDORIN_WINDOWS_FILTER_8_interpreter
  # /dev/full, Linux's always-full device.
  "FileCommands.WritingToAFullDiskLeavesANonZeroStatus:FileCommands.CopyReportsWriteErrorsAndNeverEmptiesTheSource"
  # Need the local TLS server, which the Windows tests do not have.
  ":NetCommandsTest.LineTrafficThroughTheChannelCommands:NetCommandsTest.SslPrefixHoldsUntilAConnectionChannelCloses"
  ":NetCommandsTest.AtivaSslReconnectsWithTls")
set(KALDORIN_WINDOWS_FILTER_7_net
  # Need the local TLS server, which the Windows tests do not have.
  "DownloadTest.HttpsDownloadSendsTheHostAsServerName:DownloadTest.HttpsTrickleCanBeStopped"
  ":DownloadTest.LargeBodiesArriveWhole"
  ":NetStallTest.HandshakeStalledInARecordEndsAtTheSilenceLimit:NetStallTest.HandshakeStalledInARecordIsStoppedWithEscAndS"
  ":NetStallTest.TlsRecordCutOffEndsAtTheLimitOrWhenStopped")

function(windows_test_filter area)
  if(KALDORIN_WINDOWS_FILTER_${area})
    string(REPLACE ";" "" filter "${KALDORIN_WINDOWS_FILTER_${area}}")
    set_tests_properties(${area} PROPERTIES ENVIRONMENT "GTEST_FILTER=-${filter}")
  endif()
endfunction()

# Every test file sees the C library calls that Windows names differently.
function(windows_test_options target)
  target_compile_options(${target} PRIVATE -include ${CMAKE_SOURCE_DIR}/tests/support/posix_shims.h)
endfunction()
