// The layer rule over the real source tree, and the checker itself over a
// small planted tree with one include per case.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "LayerRule.h"

namespace oxalis::layers {
namespace {

namespace fs = std::filesystem;

TEST(LayerRule, SourceTreeKeepsItsLayers) {
  const fs::path src = fs::path(OXALIS_SOURCE_DIR) / "src";
  ASSERT_TRUE(fs::is_directory(src / "core")) << src;  // an empty scan would pass for the wrong reason

  const std::vector<LayerViolation> violations = checkLayers(src);
  std::string report;
  for (const LayerViolation& v : violations) report += describe(v) + "\n";
  EXPECT_TRUE(violations.empty()) << violations.size() << " include(s) break the layer rule:\n" << report;
}

class PlantedTree {
 public:
  PlantedTree() {
    std::random_device random;
    top_ =
        fs::temp_directory_path() / ("oxalis_layers_test_" + std::to_string(random()) + "_" + std::to_string(random()));
    fs::create_directories(top_ / "src");
  }
  ~PlantedTree() {
    std::error_code ignored;
    fs::remove_all(top_, ignored);
  }
  PlantedTree(const PlantedTree&) = delete;
  PlantedTree& operator=(const PlantedTree&) = delete;

  fs::path src() const { return top_ / "src"; }
  void plant(const std::string& rel, const std::string& text) const {
    fs::create_directories((src() / rel).parent_path());
    std::ofstream(src() / rel) << text;
  }

 private:
  fs::path top_;
};

struct Case {
  const char* name;
  const char* file;  // below src
  const char* line;
  bool caught;
};

constexpr Case kCases[] = {
    {"upward into the composition root", "core/link/UpToApp.cpp", R"(#include "app/Core.h")", true},
    {"sideways to a peer room", "core/monitor/PeerFactory.cpp", R"(#include "factory/FactoryModel.h")", true},
    {"downward", "core/trace/DownToMonitor.cpp", R"(#include "monitor/LivePanel.h")", false},
    {"own room by bare name", "core/link/OwnRoomBare.cpp", R"(#include "RecordCodec.h")", false},
    {"indented, upward from rank 0", "core/util/Indented.h", R"(   #include "link/RecordCodec.h")", true},
    {"nested folder, own folder by bare name", "core/setup/pages/Page.cpp", R"(#include "PageHelper.h")", false},
    {"nested folder belongs to its room", "core/setup/pages/PagePeer.cpp", R"(#include "monitor/LivePanel.h")", true},
    {"core reaching a Qt header", "core/monitor/UsesQtConvert.cpp", R"(#include "QtConvert.h")", true},
    {"core reaching the simulator", "core/files/UsesSim.cpp", R"(#include "sim/ModuleType.h")", true},
    {"commented out", "core/link/CommentedOut.cpp", R"(// #include "app/Core.h")", false},
    {"room missing from the table", "core/gadgets/Gadget.h", "", true},
    {"simulator and the record format", "sim/UsesCodec.cpp", R"(#include "link/RecordCodec.h")", false},
    {"simulator and any other core header", "sim/UsesRequests.cpp", R"(#include "link/Requests.h")", true},
    {"window and a Qt platform header by bare name", "ui/UsesQtConvert.cpp", R"(#include "QtConvert.h")", false},
    {"window and the simulator", "ui/UsesSim.cpp", R"(#include "sim/ModuleType.h")", true},
    {"Qt platform layer reaching a window", "platform/qt/UsesWindow.cpp", R"(#include "MainWindow.h")", true},
    {"program and the simulator", "app/StartsSim.cpp", R"(#include "sim/PtyHost.h")", false},
};
constexpr int kCaseLine = 3;

TEST(LayerRule, CatchesPlantedViolationsAndPassesLegalIncludes) {
  PlantedTree tree;
  tree.plant("core/link/RecordCodec.h", "#pragma once\n");
  tree.plant("core/setup/pages/PageHelper.h", "#pragma once\n");
  tree.plant("platform/qt/QtConvert.h", "#pragma once\n");
  tree.plant("ui/MainWindow.h", "#pragma once\n");
  for (const Case& c : kCases) tree.plant(c.file, std::string("#pragma once\n#include <vector>\n") + c.line + "\n");

  const std::vector<LayerViolation> violations = checkLayers(tree.src());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string file = std::string("src/") + c.file;
    std::string report;
    bool hit = false;
    for (const LayerViolation& v : violations) {
      const bool atFile = v.file == file;
      if (!atFile && !file.starts_with(v.file + "/")) continue;  // reported at the file or at its folder
      hit = true;
      report += describe(v) + "\n";
      if (atFile) {
        EXPECT_EQ(v.line, kCaseLine) << describe(v);
      }
    }
    EXPECT_EQ(hit, c.caught) << report;
  }
}

}  // namespace
}  // namespace oxalis::layers
