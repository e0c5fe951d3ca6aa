#pragma once
// What the whole main program shares while it runs, beyond the settings store and the
// command menu's check marks. main() makes the one instance and hands it to the windows
// that need it.
namespace movarin::main_program {

class ProgramState {
 public:
  // SearchNextFlag: true ("yes") once the last name has been dealt with (a miss, or a
  // transfer that ended), false ("no") while a download reports progress. The
  // multiple-file search goes on to its next name only when it is true; it starts out
  // unset, which counts as false.
  bool search_next() const { return search_next_; }
  void set_search_next(bool value) { search_next_ = value; }

 private:
  bool search_next_ = false;
};

}  // namespace movarin::main_program
