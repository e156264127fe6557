unit Mid;
{$mode objfpc}
interface
uses
  First, Second;
function Report(A: TSecondNumber): Integer;
implementation
function Report(A: TSecondNumber): Integer; begin Result := A + Value + FirstOnly; end;
end.
