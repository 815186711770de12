// SPDX-License-Identifier: MIT
// Model selection over the forms runtime's toolkit-free form interface.
#include "catalogue/selection.hpp"

#include "forms/core/form.hpp"

namespace icatlas {

void SelectModel(forms::Form &form, const ModelRecord &record)
{
    // The window stays held for the whole click, each box only for its own write.
    const forms::Counted<forms::Form> window = forms::takeForm(form);
    const auto texts = record.boxTexts();
    for (std::size_t i = 0; i < kBoxCount; ++i) {
        const forms::Counted<forms::TextBox> box = window->takeTextBox(kBoxNames[i]);
        const forms::ResultCode result
            = box ? box->setText(texts[i]) : forms::ResultCode::ObjectRequired;
        forms::checkResult(result, kBoxNames[i], forms::Operation::SetText);
    }
}

} // namespace icatlas
