#include "simulator/hart_slave.h"

#include <stdexcept>

#include "simulator/hart_codes.h"

namespace simulator {

HartSlave::HartSlave(std::unique_ptr<DeviceApplication> application)
    : application_(std::move(application)) {
    if (!application_) throw std::invalid_argument("HartSlave needs a device application");
}

Answer HartSlave::transact(std::uint8_t command, std::span<const std::uint8_t> request) {
    ++requests_;
    const std::optional<Fault> fault = faults_.take(command);
    if (!fault) return application_->handle(command, request);

    Answer answer;
    switch (fault->kind) {
        case Fault::Kind::NoAnswer:
            answer.kind = AnswerKind::NoAnswer;
            return answer;
        case Fault::Kind::CommunicationError:
            answer.kind = AnswerKind::CommunicationError;
            answer.communicationError = fault->reason;
            return answer;
        case Fault::Kind::CommunicationStatus:
            answer.responseCode = fault->code;
            return answer;
        case Fault::Kind::ResponseCode:
            break;
    }
    if (hart::isWarning(fault->code) || fault->code == hart::kSuccess) {
        answer = application_->handle(command, request);
        if (answer.kind == AnswerKind::Reply && answer.responseCode == hart::kSuccess)
            answer.responseCode = fault->code;
        return answer;
    }
    answer.responseCode = fault->code;
    answer.deviceStatus = application_->deviceStatus();
    return answer;
}

}  // namespace simulator
