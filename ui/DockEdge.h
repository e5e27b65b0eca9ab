#pragma once

// Where the panel sits: floating (None), or docked to the right or the top edge of its screen.
enum class DockEdge { None, Right, Top };
