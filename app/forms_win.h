#pragma once
// The four windows of the program, created at start-up in this order and kept to the end.
// Handlers that open another window find it here.
namespace tesmar {

class TTesmarMainForm;
class TMorvikZoomerForm;
class TMorvikSettingForm;
class TTargetCADForm;

struct AppForms {
  TTesmarMainForm* TesmarMainForm = nullptr;
  TMorvikZoomerForm* MorvikZoomerForm = nullptr;
  TMorvikSettingForm* MorvikSettingForm = nullptr;
  TTargetCADForm* TargetCADForm = nullptr;
};

// The process's windows (empty entries until created).
inline AppForms& Forms() {
  static AppForms forms;
  return forms;
}

}  // namespace tesmar
