// The caption of every message box of the exporter.
#pragma once

inline constexpr char kCaption[] = "減価償却";
