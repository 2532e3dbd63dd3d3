// Drive c: as a folder of the file system, for systems without one. Windows paths in drive c:
// ("c:\DATA.TXT") name files in the folder, matched without regard to case as Windows matches
// them: "c:\DATA.TXT" and "c:\data.txt" reach the same file on a case-sensitive file system.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/system_api.h"

namespace varnet {

class DriveCFolder : public Files {
 public:
  // The folder is created when missing.
  explicit DriveCFolder(std::filesystem::path folder);

  std::unique_ptr<File> Open(const std::string& path, const std::string& mode) override;

  // Where a Windows path of drive c: lives in the folder: an existing entry whose name matches
  // without regard to case, else the name as written. Empty for a path outside drive c:.
  std::filesystem::path Resolve(const std::string& path) const;

  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

}  // namespace varnet
