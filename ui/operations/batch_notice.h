#pragma once
// The batch page's notices ("msg.Sel_dev_first", "info.Configuring_wait",
// "info.operate_completed"): the key's text in the calling thread's language,
// titled "msg.Msg", OK only, information icon. Callable from a run's worker.

void ShowBatchNotice(const char* key);
