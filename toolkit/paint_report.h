// The paint report: how a measuring program in the same desktop learns when a form has
// finished painting, for show latency. It posts kPaintReportRequest to the form with its
// own window in wParam; after the form's next paint of its whole client area (and of its
// visible child windows) the form posts kPaintReport back to that window, with the low 32
// bits of QueryPerformanceCounter at the end of that paint in lParam. Without a request
// the form does nothing more than test one pointer per paint.
#pragma once

namespace toolkit {

// Private message numbers (WM_APP + 0x3F00 and after), outside any the toolkit or the
// system use otherwise.
inline constexpr unsigned kPaintReportRequest = 0x8000 + 0x3F00;
inline constexpr unsigned kPaintReport = 0x8000 + 0x3F01;

}  // namespace toolkit
