// Program entry shared by every backend: the backend installs its platform,
// then calls programMain.
#pragma once

int programMain();
