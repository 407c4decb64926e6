#pragma once

class QWidget;

// Puts a shown window at the top of its band: the always-on-top band when
// `topmost`, the ordinary one otherwise, without activating it.
void restack(QWidget* window, bool topmost);
