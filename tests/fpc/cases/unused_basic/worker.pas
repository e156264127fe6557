unit Worker;
{$mode objfpc}
interface
uses
  Calc;
function Work(A: Integer): Integer;
implementation
uses
  Unrelated;
function Work(A: Integer): Integer; begin Result := Square(A) + 1; end;
end.
