#pragma once
// The task rows as a backup run walks them: the task table in the program,
// a list in memory for the console program and the tests.
#include <string>

namespace pelvane {

class TaskRows {
  public:
    virtual ~TaskRows() = default;
    virtual bool InBrowseState() = 0;  // false while a row is edited or new
    virtual void Post() = 0;           // stores the pending edit or new row
    virtual int Count() = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() = 0;
    // The current row's place (from 0), and a move back to it: a run over the
    // current task alone looks at the tasks before it.
    virtual int Position() = 0;
    virtual void MoveTo(int position) = 0;
    // The source and target folders of the current row (forras and cel in
    // the task table), exactly as stored (any name, in UTF-16); null reads as "".
    virtual std::wstring Source() = 0;
    virtual std::wstring Target() = 0;
};

}  // namespace pelvane
