#pragma once

// Gives the application the program's look: its style sheet and fonts.
void ApplyProgramStyle();
