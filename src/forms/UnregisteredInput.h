#pragma once
// The question an editor asks before input the user typed but never registered
// would go (the window closes, another record is loaded, a command of another
// window closes or refills it). The person editor and the relationship editor ask
// it the same way: はい registers through the editor's own register command, with
// all its checks; いいえ drops the input; キャンセル keeps it.

#include <functional>

namespace forms {

// Asked with はい/いいえ/キャンセル.
inline constexpr const char* UnregisteredInputQuestion = "入力内容が登録されていません。登録しますか？";

// Asks the question and carries out the answer. `registerInput` returns false when
// its checks refused the input (the user stays with it); `dropInput` forgets it.
// True when the caller may go on: the input was registered or dropped. False on
// キャンセル or a refused registration: the caller stops and changes nothing.
bool settleUnregisteredInput(const std::function<bool()>& registerInput, const std::function<void()>& dropInput);

} // namespace forms
