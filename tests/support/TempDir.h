#pragma once
// A fresh, empty folder for the files one test writes, away from the source
// tree and from other tests, removed with everything in it when the object is
// destroyed. Without it no test that uses one can mean anything, so a folder
// that cannot be made ends the run.

#include "base/TempFolder.h"

class TempDir : public base::TempFolder {
 public:
  TempDir() : TempFolder("korvane-test", Need::Required) {}
};
