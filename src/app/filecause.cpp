#include "filecause.h"

const char* FileFailureCause(FsError error) {
  switch (error) {
    case FsError::kNone: return "";
    case FsError::kDiskFull: return "ディスクの空き容量が不足しています。";
    case FsError::kAccessDenied: return "ファイルへの書き込みが許可されていません。";
    case FsError::kIoError: return "ディスクの読み書きでエラーが発生しました。";
    case FsError::kBusy:
      return "他の減価償却の出力が同じフォルダに書き込み中です。終了してから実行してください。";
    case FsError::kNotFound: return "出力先のフォルダが見つかりません。";
    case FsError::kNotRegular: return "同じ名前のフォルダなど、ファイルでないものがあります。";
    case FsError::kTooLong: return "パスが長すぎます。";
    case FsError::kTooLarge: return "ファイルが大きすぎます。";
    default: return "ファイルを書き込めませんでした。";
  }
}

const char* SettingsFailureCause(FsError error) {
  if (error == FsError::kBusy) {
    return "他の減価償却の出力が設定ファイルを更新中です。しばらくしてから実行してください。";
  }
  if (error == FsError::kNone) return "設定ファイルを書き込めませんでした。";
  return FileFailureCause(error);
}
