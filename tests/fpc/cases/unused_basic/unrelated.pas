unit Unrelated;
{$mode objfpc}
interface
function Unused(A: Integer): Integer;
implementation
function Unused(A: Integer): Integer; begin Result := A; end;
end.
