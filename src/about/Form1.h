// The about box: four lines naming the maker. Closing it, or clicking its bare
// surface, ends the program.
#pragma once

#include "forms/form.h"
#include "forms/label.h"

namespace about {

class Form1 : public forms::Form {
 public:
  explicit Form1(forms::App& app);

  forms::Label Label1;
  forms::Label Label2;
  forms::Label Label3;
  forms::Label Label4;

  void Form_Click() override;
  void Form_Load() override;
  void Form_Unload(forms::Integer& Cancel) override;
};

}  // namespace about
