// How a modal dialog ended.
#pragma once

enum class DialogResult { Ok, Cancel };
