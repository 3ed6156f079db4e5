#pragma once
// French texts for the engine's page actions (its context menu): the engine comes with no French
// catalogue of its own. Actions the menu should not offer are hidden.

class QWebEnginePage;

namespace platform {

void TranslateActions(QWebEnginePage& page);

} // namespace platform
