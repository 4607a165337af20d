#pragma once
// The task table of Pelvane.sqb, named here once: the store, the window and
// the build's empty database (MakeDatabase.cmake reads this file) take its
// names from here. They are the stored file's own names, which users'
// databases and other programs rely on: never rename them.

namespace pelvane {

constexpr const char* kTaskTableName = "feladat";
constexpr const char* kTaskIdField = "feladat";  // integer, the task's number
constexpr const char* kSourceField = "forras";   // the folder copied
constexpr const char* kTargetField = "cel";      // the folder copied into
// Characters a folder field holds (varchar of this width).
constexpr int kFolderFieldSize = 255;

}  // namespace pelvane
