# Precompiled headers: the Qt and standard headers and the model that nearly
# every file includes are parsed once per build instead of once per file
# (they are most of a file's compile time). A header is built by one target
# and reused by the targets compiled with the same flags:
#   the core   by quorrel_model: the libraries, the demos, the tool and the
#              benchmarks (in the fuzz build the model, format and script
#              libraries are instrumented for the fuzzers: the others then get
#              a header of their own, from quorrel_engine);
#   the window by quorrel_ui:    the player program;
#   the tests  by quorrel_test_support: every test program.
# A file still includes what it uses; the headers only make that cheap.
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds without them.
set(QUORREL_CORE_PCH
    <algorithm> <cmath> <cstdint> <cstring> <memory> <string> <string_view> <vector>
    <QImage> <QPainter> <QString>
    <model/model.h>)

set(core_users quorrel_engine quorrel_render quorrel_player quorrel_demos quorrel-tool)
if(QUORREL_BENCH)
  list(APPEND core_users kernel_bench open_bench frame_bench program_bench)
endif()
target_precompile_headers(quorrel_model PRIVATE ${QUORREL_CORE_PCH})
target_precompile_headers(quorrel_format REUSE_FROM quorrel_model)
target_precompile_headers(quorrel_script REUSE_FROM quorrel_model)
if(QUORREL_FUZZ)
  list(POP_FRONT core_users core_host)
  target_precompile_headers(${core_host} PRIVATE ${QUORREL_CORE_PCH})
else()
  set(core_host quorrel_model)
endif()
foreach(t ${core_users})
  target_precompile_headers(${t} REUSE_FROM ${core_host})
endforeach()

target_precompile_headers(quorrel_ui PRIVATE ${QUORREL_CORE_PCH}
    <QApplication> <QDialog> <QGroupBox> <QHBoxLayout> <QLabel> <QLineEdit> <QPushButton> <QVBoxLayout> <QWidget>)
target_precompile_headers(quorrel REUSE_FROM quorrel_ui)

if(QUORREL_TESTS)
  target_precompile_headers(quorrel_test_support PRIVATE ${QUORREL_CORE_PCH} <gtest/gtest.h>)
  foreach(t ${QUORREL_TEST_PROGRAMS})
    target_precompile_headers(${t} REUSE_FROM quorrel_test_support)
  endforeach()
endif()
