#include "collect/add_files.h"

#include "app/texts.h"
#include "collect/open_answer.h"

namespace shredder {

void AddFiles(OpenFileDialog& dialog, ListBox& list, Button& startButton, MessageBox& messages) {
    OpenDialogRequest request;
    request.flags = kOpenDialogFlags;
    request.fileName = "";
    request.filter = texts::kOpenFilter;
    const OpenDialogAnswer answer = dialog.showOpen(request);

    if (answer.status == OpenDialogAnswer::Status::TooMany) {
        // A cut-off answer would add some of the chosen files and silently drop the rest.
        messages.show(texts::kTooManyFiles, texts::kAppTitle, MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    if (answer.fileName.empty()) return;

    const ListBatch batch(list);
    for (const std::string& path : PathsFromOpenAnswer(answer.fileName)) list.append(path);
    startButton.setEnabled(true);
}

}  // namespace shredder
