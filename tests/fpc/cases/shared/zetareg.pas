unit ZetaReg;

interface

procedure Touch;

implementation

procedure Touch;
begin
end;


initialization
  WriteLn('ZetaReg starts');
end.
